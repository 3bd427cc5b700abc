#include "infrastructure/network/APIClientError.h"

#include <gtest/gtest.h>

using namespace vexel;

TEST(APIClientError, LogSafeDescriptionNamesTheCaseWithoutFreeText) {
    EXPECT_EQ(APIClientError::invalidURL("https://secret.example/chat").logSafeDescription(),
              "invalidURL");
    EXPECT_EQ(APIClientError::forbidden("permission_error").logSafeDescription(),
              "forbidden(permission_error)");
    EXPECT_EQ(APIClientError::rateLimited(12.5).logSafeDescription(), "rateLimited");
    EXPECT_EQ(APIClientError::serverError(502).logSafeDescription(), "serverError(502)");
    EXPECT_EQ(APIClientError::invalidResponse(10000).logSafeDescription(),
              "invalidResponse(10000)");
    EXPECT_EQ(APIClientError::networkError("Request timed out").logSafeDescription(),
              "networkError");
    EXPECT_EQ(APIClientError::unauthorized().logSafeDescription(), "unauthorized");
    EXPECT_EQ(APIClientError::networkDisconnected().logSafeDescription(), "networkDisconnected");
    EXPECT_STREQ(APIClientError::serverError(503).what(), "serverError(503)");
}

TEST(APIClientError, EqualWhenCaseAndPayloadAreEqual) {
    EXPECT_EQ(APIClientError::rateLimited(std::nullopt), APIClientError::rateLimited(std::nullopt));
    EXPECT_EQ(APIClientError::rateLimited(2.0), APIClientError::rateLimited(2.0));
    EXPECT_NE(APIClientError::rateLimited(2.0), APIClientError::rateLimited(std::nullopt));
    EXPECT_NE(APIClientError::rateLimited(2.0), APIClientError::rateLimited(3.0));
    EXPECT_NE(APIClientError::serverError(500), APIClientError::serverError(503));
    EXPECT_NE(APIClientError::serverError(500), APIClientError::invalidResponse(500));
    EXPECT_NE(APIClientError::forbidden("a"), APIClientError::networkError("a"));
    EXPECT_EQ(APIClientError::unauthorized(), APIClientError::unauthorized());
}
