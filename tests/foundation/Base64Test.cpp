#include "foundation/Base64.h"

#include <gtest/gtest.h>

#include <random>

namespace base64 = vexel::base64;

TEST(Base64Test, EncodesTheStandardVectorsAndDecodesThemBack) {
    const std::pair<std::string, std::string> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {std::string("\xff\xfe\x00\x3f", 4), "//4APw=="},
    };
    for (const auto& [bytes, text] : vectors) {
        EXPECT_EQ(base64::encode(bytes), text);
        EXPECT_EQ(base64::decode(text), bytes) << text;
    }
    std::mt19937 random(7);
    for (int length = 0; length < 70; ++length) {
        std::string bytes;
        for (int i = 0; i < length; ++i) {
            bytes += static_cast<char>(random());
        }
        EXPECT_EQ(base64::decode(base64::encode(bytes)), bytes);
    }
}

TEST(Base64Test, RefusesAnythingButStrictStandardText) {
    for (const char* bad : {"Zg", "Zg=", "Zg===", "Z===", "Zh==", "Zm9=", "Zm 9v", "Zm9v\n", "Zm-v",
                            "Zm_v", "=Zm9", "Zg==Zm9v", "Zm9vYg=a"}) {
        EXPECT_EQ(base64::decode(bad), std::nullopt) << bad;
    }
}
