#include "platform/net/HttpURL.h"

#include <gtest/gtest.h>

#include <string>

using namespace vexel::net;
using namespace std::string_literals;

TEST(HttpURL, AcceptsOnlyAbsoluteHttpAndHttpsURLsWithAHost) {
    EXPECT_TRUE(isValidHttpURL("http://127.0.0.1:8080/chat/messages"));
    EXPECT_TRUE(isValidHttpURL("https://backend.example.com//chat/messages"));
    EXPECT_TRUE(isValidHttpURL("HTTPS://backend.example.com/v1/chat/messages"));

    EXPECT_FALSE(isValidHttpURL(""));
    EXPECT_FALSE(isValidHttpURL("/chat/messages"));
    EXPECT_FALSE(isValidHttpURL("backend.example.com/chat/messages"));
    EXPECT_FALSE(isValidHttpURL("ftp://backend.example.com/chat/messages"));
    EXPECT_FALSE(isValidHttpURL("file:///etc/passwd"));
    EXPECT_FALSE(isValidHttpURL("http:///chat/messages"));
    EXPECT_FALSE(isValidHttpURL("http://back end.example.com/chat/messages"));
    EXPECT_FALSE(isValidHttpURL("http://example.com\0.evil/chat"s));
}
