#include "infrastructure/network/ClaudeAPIClient.h"

#include "foundation/CancellationError.h"
#include "support/FakeHttpClient.h"
#include "support/RecordingSleeper.h"
#include "support/Watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <stdexcept>

using namespace vexel;
using namespace std::chrono_literals;
using test::FakeHttpClient;
using Kind = net::HttpTransportError::Kind;

namespace {

struct TokenCounter {
    std::atomic<int> provided = 0;
    std::atomic<int> renewed = 0;
};

class ClaudeAPIClientTest : public ::testing::Test {
protected:
    ClaudeAPIClient client(double retryBaseDelay = 1.0, std::string baseURL = "https://b.test",
                           AccessTokenOperation provider = {}, AccessTokenOperation renewal = {}) {
        if (!provider) {
            provider = [this](std::stop_token) {
                ++tokens.provided;
                return std::string("old");
            };
        }
        if (!renewal) {
            renewal = [this](std::stop_token) {
                ++tokens.renewed;
                return std::string("fresh");
            };
        }
        return ClaudeAPIClient(http, std::move(provider), std::move(renewal), std::move(baseURL),
                               std::string("some-model"), 2048, 60, retryBaseDelay, sleeper);
    }

    std::string send(ClaudeAPIClient apiClient, std::vector<Json> tools = {}) {
        return apiClient.sendToolUseMessage("system", {Json{{"role", "user"}}}, tools, {});
    }

    APIClientError sendExpectingError(ClaudeAPIClient apiClient) {
        try {
            send(std::move(apiClient));
        } catch (const APIClientError& error) {
            return error;
        }
        throw std::logic_error("the request did not fail");
    }

    // Drains a stream: its lines, and the error that ended it.
    std::pair<std::vector<SSELine>, std::exception_ptr> drain(AsyncStream<SSELine> stream) {
        test::Watchdog watchdog(5s);
        std::vector<SSELine> lines;
        try {
            while (auto line = stream.next(watchdog.token())) {
                lines.push_back(*line);
            }
        } catch (...) {
            return {lines, std::current_exception()};
        }
        return {lines, nullptr};
    }

    std::shared_ptr<FakeHttpClient> http = std::make_shared<FakeHttpClient>();
    std::shared_ptr<test::RecordingSleeper> sleeper = std::make_shared<test::RecordingSleeper>();
    TokenCounter tokens;
};

APIClientError asAPIClientError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const APIClientError& apiError) {
        return apiError;
    }
}

} // namespace

TEST_F(ClaudeAPIClientTest, BodyCountsTokensAsAnIntegerAndRefusesNumbersJsonCannotHold) {
    // Members and values on the wire are the loopback test's; these two are
    // not visible there.
    const Json plain = Json::parse(client().buildProxyBody("prompt", {}, {}, false));
    EXPECT_TRUE(plain["max_tokens"].is_number_integer());
    EXPECT_EQ(Json::parse(client().buildProxyBody("prompt", {}, {}, true))["messages"],
              Json::array());

    const Json nan = Json{{"volume", std::numeric_limits<double>::quiet_NaN()}};
    EXPECT_THROW(client().buildProxyBody("p", {Json{{"content", Json::array({nan})}}}, {}, false),
                 std::invalid_argument);
}

TEST_F(ClaudeAPIClientTest, RequestCarriesTheTimeoutAndRefusesBadURLsAndTokens) {
    // Path and headers on the wire are the loopback test's.
    EXPECT_EQ(client().buildProxyRequest("tok", "{}").timeout.count(), 60.0);
    try {
        client(1.0, "not a url").buildProxyRequest("t", "");
        FAIL() << "an invalid URL was accepted";
    } catch (const APIClientError& error) {
        EXPECT_EQ(error, APIClientError::invalidURL("not a url/chat/messages"));
    }
    // A token that would break the header is refused like a rejected one.
    EXPECT_THROW(client().buildProxyRequest("a\r\nX-Injected: 1", ""), APIClientError);
}

TEST_F(ClaudeAPIClientTest, TransferFailuresMapToNetworkErrorsWithoutRetry) {
    const std::vector<std::pair<FakeHttpClient::Answer, APIClientError>> cases{
        {FakeHttpClient::failure(Kind::timedOut, 28),
         APIClientError::networkError("Request timed out")},
        {FakeHttpClient::failure(Kind::connectionLost, 56), APIClientError::networkDisconnected()},
        {FakeHttpClient::failure(Kind::invalidResponse, 8),
         APIClientError::networkError("Invalid response type")},
        {FakeHttpClient::failure(Kind::failed, 7),
         APIClientError::networkError("Connection failed (code: 7)")},
        {FakeHttpClient::failure(Kind::failed, -3),
         APIClientError::networkError("Connection failed (code: -3)")},
    };
    for (const auto& [answer, expected] : cases) {
        http->enqueue(answer);
        EXPECT_EQ(sendExpectingError(client()), expected);
    }
    EXPECT_EQ(http->requests().size(), cases.size());
    EXPECT_TRUE(sleeper->delays().empty());
}

TEST_F(ClaudeAPIClientTest, RetryAfterSetsTheDelayWithinItsBounds) {
    http->enqueue(FakeHttpClient::status(429, "", {{"Retry-After", "120"}}));
    http->enqueue(FakeHttpClient::status(429, "", {{"retry-after", "0"}}));
    http->enqueue(FakeHttpClient::status(429, "", {{"Retry-After", "2.5"}}));
    http->enqueue(FakeHttpClient::status(200, "done"));
    EXPECT_EQ(send(client()), "done");
    EXPECT_EQ(sleeper->delays(), (std::vector<double>{30, 0.1, 2.5}));

    // A base below one second scales the server's delay; above, it does not.
    http->enqueue(FakeHttpClient::status(429, "", {{"Retry-After", "10"}}));
    http->enqueue(FakeHttpClient::status(200, "done"));
    EXPECT_EQ(send(client(0.5)), "done");
    http->enqueue(FakeHttpClient::status(429, "", {{"Retry-After", "10"}}));
    http->enqueue(FakeHttpClient::status(200, "done"));
    EXPECT_EQ(send(client(3.0)), "done");
    EXPECT_EQ(sleeper->delays(), (std::vector<double>{30, 0.1, 2.5, 5, 10}));

    // The last failure carries the server's (clamped) delay.
    for (int i = 0; i < 4; ++i) {
        http->enqueue(FakeHttpClient::status(429, "", {{"Retry-After", "45"}}));
    }
    EXPECT_EQ(sendExpectingError(client()), APIClientError::rateLimited(30.0));
}

TEST_F(ClaudeAPIClientTest, ServerErrorsAreRetriedTwiceAndMixedRunsShareOneCounter) {
    for (int i = 0; i < 3; ++i) {
        http->enqueue(FakeHttpClient::status(503));
    }
    EXPECT_EQ(sendExpectingError(client()), APIClientError::serverError(503));
    EXPECT_EQ(http->requests().size(), 3u);
    EXPECT_EQ(sleeper->delays(), (std::vector<double>{1, 2}));

    // 503 (retry 1), 429 (retry 2), 500: the counter has reached the limit of 2.
    http->enqueue(FakeHttpClient::status(503));
    http->enqueue(FakeHttpClient::status(429));
    http->enqueue(FakeHttpClient::status(500));
    EXPECT_EQ(sendExpectingError(client()), APIClientError::serverError(500));
    EXPECT_EQ(http->requests().size(), 6u);

    // Exponential delays stop growing at 30 s.
    http->enqueue(FakeHttpClient::status(502));
    http->enqueue(FakeHttpClient::status(502));
    http->enqueue(FakeHttpClient::status(200, "ok"));
    EXPECT_EQ(send(client(20.0)), "ok");
    EXPECT_EQ(sleeper->delays(), (std::vector<double>{1, 2, 1, 2, 20, 30}));
}

TEST_F(ClaudeAPIClientTest, OtherStatusesFailAtOnce) {
    const std::vector<std::pair<int, APIClientError>> cases{
        {404, APIClientError::invalidResponse(404)}, {600, APIClientError::invalidResponse(600)},
        {302, APIClientError::invalidResponse(302)}, {101, APIClientError::invalidResponse(101)},
        {400, APIClientError::invalidResponse(400)},
    };
    for (const auto& [status, expected] : cases) {
        http->enqueue(FakeHttpClient::status(status, "body"));
        EXPECT_EQ(sendExpectingError(client()), expected);
    }
    EXPECT_EQ(http->requests().size(), cases.size());
    EXPECT_TRUE(sleeper->delays().empty());

    http->enqueue(FakeHttpClient::status(299, "any bytes \xff"));
    EXPECT_EQ(send(client()), "any bytes \xff");
}

TEST_F(ClaudeAPIClientTest, ForbiddenReadsTheErrorTypeFromTheBody) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {R"({"error":{"type":"permission_error","message":"no"}})", "permission_error"},
        {"", "unknown"},
        {"not json", "unknown"},
        {R"({"error":{"type":7}})", "unknown"},
        {R"({"error":"permission_error"})", "unknown"},
        {R"(["error"])", "unknown"},
    };
    for (const auto& [body, type] : cases) {
        http->enqueue(FakeHttpClient::status(403, body));
        EXPECT_EQ(sendExpectingError(client()), APIClientError::forbidden(type)) << body;
    }
}

// Renewal itself is covered over loopback; here, that it does not use up the retries.
TEST_F(ClaudeAPIClientTest, RetriesAfterARenewalWorkAsUsual) {
    http->enqueue(FakeHttpClient::status(401));
    http->enqueue(FakeHttpClient::status(503));
    http->enqueue(FakeHttpClient::status(200, "third"));
    EXPECT_EQ(send(client()), "third");
    auto requests = http->requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].body, requests[2].body);
    EXPECT_EQ(tokens.renewed, 1);
}

TEST_F(ClaudeAPIClientTest, TokenFailuresPassThroughUnchanged) {
    struct ProviderDown : std::runtime_error {
        ProviderDown()
            : std::runtime_error("provider down") {}
    };
    auto failing = [](std::stop_token) -> std::string { throw ProviderDown(); };
    EXPECT_THROW(send(client(1.0, "https://b.test", failing)), ProviderDown);

    // A plain call does not renew when the provider itself says unauthorized.
    auto refusing = [](std::stop_token) -> std::string { throw APIClientError::unauthorized(); };
    EXPECT_THROW(send(client(1.0, "https://b.test", refusing)), APIClientError);
    EXPECT_EQ(tokens.renewed, 0);

    http->enqueue(FakeHttpClient::status(401));
    EXPECT_THROW(send(client(1.0, "https://b.test", {}, failing)), ProviderDown);
    EXPECT_EQ(http->requests().size(), 1u);
}

TEST_F(ClaudeAPIClientTest, StreamYieldsLinesAndFinishesWithTheStatusOrTransferError) {
    auto ok = FakeHttpClient::status(200);
    ok.chunks = {"event: a\nda", "ta: 1\n\nevent: b\ndata: 2\n"};
    http->enqueue(ok);
    auto [lines, error] = drain(client().streamToolUseMessage("s", {}, {}));
    EXPECT_EQ(lines, (std::vector<SSELine>{{"a", "1"}, {"b", "2"}}));
    EXPECT_FALSE(error);
    EXPECT_EQ(Json::parse(http->requests()[0].body)["stream"], true);

    // Refused streams are not retried and carry no server detail.
    const std::vector<std::pair<FakeHttpClient::Answer, APIClientError>> cases{
        {FakeHttpClient::status(429, "", {{"Retry-After", "5"}}),
         APIClientError::rateLimited(std::nullopt)},
        {FakeHttpClient::status(403, R"({"error":{"type":"permission_error"}})"),
         APIClientError::forbidden("unknown")},
        {FakeHttpClient::status(503), APIClientError::serverError(503)},
        {FakeHttpClient::status(404), APIClientError::invalidResponse(404)},
        {FakeHttpClient::failure(Kind::timedOut, 28),
         APIClientError::networkError("Request timed out")},
        {FakeHttpClient::failure(Kind::connectionLost, 52), APIClientError::networkDisconnected()},
    };
    for (const auto& [answer, expected] : cases) {
        http->enqueue(answer);
        auto [none, failure] = drain(client().streamToolUseMessage("s", {}, {}));
        EXPECT_TRUE(none.empty());
        ASSERT_TRUE(failure);
        EXPECT_EQ(asAPIClientError(failure), expected);
    }
    EXPECT_EQ(http->requests().size(), 1 + cases.size());
    EXPECT_TRUE(sleeper->delays().empty());
}

TEST_F(ClaudeAPIClientTest, StreamRenewsTheTokenOnceAfterUnauthorized) {
    auto ok = FakeHttpClient::status(200);
    ok.chunks = {"data: x\n\n"};
    http->enqueue(FakeHttpClient::status(401));
    http->enqueue(ok);
    auto [lines, error] = drain(client().streamToolUseMessage("s", {}, {}));
    EXPECT_EQ(lines, (std::vector<SSELine>{{"", "x"}}));
    EXPECT_FALSE(error);
    EXPECT_EQ(tokens.renewed, 1);
    EXPECT_EQ(http->requests()[1].headers[1].second, "Bearer fresh");

    http->enqueue(FakeHttpClient::status(401));
    http->enqueue(FakeHttpClient::status(401));
    auto [none, refused] = drain(client().streamToolUseMessage("s", {}, {}));
    ASSERT_TRUE(refused);
    EXPECT_EQ(asAPIClientError(refused), APIClientError::unauthorized());
    EXPECT_EQ(tokens.renewed, 2);

    // The provider's own "unauthorized" also leads to one renewal.
    auto refusing = [](std::stop_token) -> std::string { throw APIClientError::unauthorized(); };
    http->enqueue(ok);
    auto [renewed, fine] =
        drain(client(1.0, "https://b.test", refusing).streamToolUseMessage("s", {}, {}));
    EXPECT_EQ(renewed, (std::vector<SSELine>{{"", "x"}}));
    EXPECT_FALSE(fine);
    EXPECT_EQ(tokens.renewed, 3);
}

TEST_F(ClaudeAPIClientTest, StreamWithAnUnserialisableBodyFailsAtFirstReadWithoutSending) {
    const Json infinite = Json{{"x", std::numeric_limits<double>::infinity()}};
    auto [lines, error] = drain(client().streamToolUseMessage("s", {infinite}, {}));
    EXPECT_TRUE(lines.empty());
    ASSERT_TRUE(error);
    EXPECT_THROW(std::rethrow_exception(error), std::invalid_argument);
    EXPECT_EQ(tokens.provided, 0);
    EXPECT_TRUE(http->requests().empty());

    // Bytes that are not UTF-8 do not stop a request: they go as U+FFFD.
    EXPECT_EQ(Json::parse(client().buildProxyBody("bad \xff", {}, {}, true))["system"],
              "bad \uFFFD");
}

TEST_F(ClaudeAPIClientTest, StopRequestedDuringARequestEndsInCancellationNotTheHttpError) {
    std::stop_source source;
    auto limited = FakeHttpClient::status(429);
    limited.onArrival = [&] { source.request_stop(); };
    http->enqueue(limited);
    auto apiClient = client();
    EXPECT_THROW(apiClient.sendToolUseMessage("s", {}, {}, source.get_token()), CancellationError);
    EXPECT_EQ(http->requests().size(), 1u);
    EXPECT_TRUE(sleeper->delays().empty());
}
