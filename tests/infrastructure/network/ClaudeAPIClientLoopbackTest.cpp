// The transport against a real HTTP server on 127.0.0.1, through libcurl.
#include "infrastructure/network/ClaudeAPIClient.h"

#include "foundation/CancellationError.h"
#include "foundation/SteadySleeper.h"
#include "infrastructure/network/JsonKeys.h"
#include "platform/net/CurlHttpClient.h"
#include "platform/net/HttpTransportError.h"
#include "support/LoopbackServer.h"
#include "support/RecordingSleeper.h"
#include "support/Watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>

using namespace vexel;
using namespace std::chrono_literals;
using test::LoopbackServer;
using test::ScriptedResponse;

using test::keysOf;

namespace {

// Small enough to keep the tests fast, large enough to measure at the server.
constexpr double baseDelay = 0.02;

class ClaudeAPIClientLoopbackTest : public ::testing::Test {
protected:
    ClaudeAPIClient client(double retryBaseDelay = baseDelay, std::string baseURL = {}) {
        return ClaudeAPIClient(
            http,
            [this](std::stop_token) {
                ++provided;
                return std::string("old-token");
            },
            [this](std::stop_token) {
                ++renewed;
                return std::string("fresh-token");
            },
            baseURL.empty() ? server.baseURL() : baseURL, std::nullopt, 2048, 5, retryBaseDelay,
            sleeper);
    }

    std::vector<Json> messages() const {
        return {Json{{"role", "user"}, {"content", "Add a fade"}}};
    }
    std::vector<Json> tools() const { return {Json{{"name", "add_transition"}}}; }

    std::string send(ClaudeAPIClient apiClient, std::stop_token stop = {}) {
        return apiClient.sendToolUseMessage("system prompt", messages(), tools(), stop);
    }

    template <class Call> APIClientError expectError(Call call) {
        try {
            call();
        } catch (const APIClientError& error) {
            return error;
        }
        throw std::logic_error("the call did not fail");
    }

    // Every server-side gap between two requests must be at least the delay
    // the client said it waited.
    void expectGapsAtLeast(const std::vector<double>& delays) {
        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), delays.size() + 1);
        for (std::size_t i = 0; i < delays.size(); ++i) {
            const std::chrono::duration<double> gap =
                requests[i + 1].receivedAt - requests[i].receivedAt;
            EXPECT_GE(gap.count(), delays[i] * 0.95) << "retry " << i;
        }
    }

    LoopbackServer server;
    std::shared_ptr<net::HttpClient> http = std::make_shared<net::CurlHttpClient>();
    std::shared_ptr<test::RecordingSleeper> sleeper =
        std::make_shared<test::RecordingSleeper>(std::make_shared<SteadySleeper>());
    std::atomic<int> provided = 0;
    std::atomic<int> renewed = 0;
    test::Watchdog watchdog{10s};
};

} // namespace

TEST_F(ClaudeAPIClientLoopbackTest, RequestHasExactlyThePathHeadersAndBodyMembers) {
    server.enqueue(ScriptedResponse::plain(200, R"({"content":[]})"));
    server.enqueue(ScriptedResponse::eventStream().write("data: {}\n\n"));
    server.enqueue(ScriptedResponse::plain(200, "{}"));

    EXPECT_EQ(send(client()), R"({"content":[]})");
    auto stream = client().streamToolUseMessage("system prompt", messages(), {});
    EXPECT_EQ(stream.next(watchdog.token()), (SSELine{"", "{}"}));
    EXPECT_EQ(stream.next(watchdog.token()), std::nullopt);
    send(client(baseDelay, server.baseURL() + "/"));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    for (const auto& request : requests) {
        EXPECT_EQ(request.method, "POST");
        EXPECT_EQ(request.headerCount("content-type"), 1u);
        EXPECT_EQ(request.header("content-type"), "application/json");
        EXPECT_EQ(request.headerCount("Authorization"), 1u);
        EXPECT_EQ(request.header("Authorization"), "Bearer old-token");
    }
    EXPECT_EQ(requests[0].path, "/chat/messages");
    EXPECT_EQ(requests[1].path, "/chat/messages");
    EXPECT_EQ(requests[2].path, "//chat/messages");

    const Json plain = Json::parse(requests[0].body);
    EXPECT_EQ(keysOf(plain), (std::vector<std::string>{"max_tokens", "system", "messages", "tools",
                                                       "tool_choice"}));
    EXPECT_EQ(plain["max_tokens"], 2048);
    EXPECT_EQ(plain["system"], "system prompt");
    EXPECT_EQ(plain["messages"], Json(messages()));
    EXPECT_EQ(plain["tools"], Json(tools()));
    EXPECT_EQ(plain["tool_choice"], (Json{{"type", "auto"}}));

    const Json streamed = Json::parse(requests[1].body);
    EXPECT_EQ(keysOf(streamed),
              (std::vector<std::string>{"max_tokens", "system", "messages", "stream"}));
    EXPECT_EQ(streamed["stream"], true);
    EXPECT_EQ(provided, 3);
}

TEST_F(ClaudeAPIClientLoopbackTest, StreamedEventsArriveAsTheServerWritesThem) {
    // The server writes the second event only after the test has read the first.
    server.enqueue(ScriptedResponse::eventStream()
                       .write(": keep-alive\nevent: message_start\ndata: {\"a\":1}\n\n")
                       .waitForGate("second")
                       .write("event: content_block_delta\r\ndata: {\"b\":\r\ndata: 2}\r\n\r\n")
                       .write("data: [DONE]\n\n"));
    auto stream = client().streamToolUseMessage("s", messages(), tools());
    EXPECT_EQ(stream.next(watchdog.token()), (SSELine{"message_start", R"({"a":1})"}));
    server.openGate("second");
    EXPECT_EQ(stream.next(watchdog.token()), (SSELine{"content_block_delta", "{\"b\":\n2}"}));
    EXPECT_EQ(stream.next(watchdog.token()), std::nullopt);
    EXPECT_FALSE(watchdog.fired());
}

TEST_F(ClaudeAPIClientLoopbackTest, DoneEndsTheStreamWithoutWaitingForTheRestOfTheBody) {
    server.enqueue(ScriptedResponse::eventStream()
                       .write("data: 1\n\ndata: [DONE]\n\n")
                       .waitForGate("never")
                       .write("data: 2\n\n"));
    const auto start = std::chrono::steady_clock::now();
    auto stream = client().streamToolUseMessage("s", messages(), tools());
    EXPECT_EQ(stream.next(watchdog.token()), (SSELine{"", "1"}));
    EXPECT_EQ(stream.next(watchdog.token()), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

TEST_F(ClaudeAPIClientLoopbackTest, RateLimitsAreRetriedWithTheExponentialOrServerDelay) {
    for (int i = 0; i < 4; ++i) {
        server.enqueue(ScriptedResponse::plain(429, R"({"error":{"type":"rate_limit_error"}})"));
    }
    EXPECT_EQ(expectError([&] { send(client()); }), APIClientError::rateLimited(std::nullopt));
    EXPECT_EQ(sleeper->delays(), (std::vector<double>{0.02, 0.04, 0.08}));
    expectGapsAtLeast({0.02, 0.04, 0.08});
}

TEST_F(ClaudeAPIClientLoopbackTest, RetryAfterIsScaledByTheBaseDelayAndClamped) {
    server.enqueue(ScriptedResponse::plain(429, "", {{"Retry-After", "120"}}));
    server.enqueue(ScriptedResponse::plain(429, "", {{"retry-after", "0"}}));
    server.enqueue(
        ScriptedResponse::plain(429, "", {{"Retry-After", "Wed, 21 Oct 2015 07:28:00 GMT"}}));
    server.enqueue(ScriptedResponse::plain(200, "finally"));
    EXPECT_EQ(send(client()), "finally");
    // 0.02 * 30, 0.02 * 0.1, then the exponential 0.02 * 2^2 for the date.
    const auto delays = sleeper->delays();
    ASSERT_EQ(delays.size(), 3u);
    EXPECT_DOUBLE_EQ(delays[0], 0.6);
    EXPECT_DOUBLE_EQ(delays[1], 0.002);
    EXPECT_DOUBLE_EQ(delays[2], 0.08);
    expectGapsAtLeast(delays);
}

TEST_F(ClaudeAPIClientLoopbackTest, ServerErrorsAreRetriedTwice) {
    server.enqueue(ScriptedResponse::plain(502));
    server.enqueue(ScriptedResponse::plain(503));
    server.enqueue(ScriptedResponse::plain(504));
    EXPECT_EQ(expectError([&] { send(client()); }), APIClientError::serverError(504));
    EXPECT_EQ(sleeper->delays(), (std::vector<double>{0.02, 0.04}));
    expectGapsAtLeast({0.02, 0.04});
}

TEST_F(ClaudeAPIClientLoopbackTest, UnauthorizedRenewsTheTokenOnceAndRetriesOnce) {
    server.enqueue(ScriptedResponse::plain(401));
    server.enqueue(ScriptedResponse::plain(200, "with fresh token"));
    EXPECT_EQ(send(client()), "with fresh token");

    server.enqueue(ScriptedResponse::plain(401));
    server.enqueue(ScriptedResponse::eventStream().write("data: streamed\n\n"));
    auto stream = client().streamToolUseMessage("s", messages(), tools());
    EXPECT_EQ(stream.next(watchdog.token()), (SSELine{"", "streamed"}));
    EXPECT_EQ(stream.next(watchdog.token()), std::nullopt);

    server.enqueue(ScriptedResponse::plain(401));
    server.enqueue(ScriptedResponse::plain(401));
    server.enqueue(ScriptedResponse::plain(200, "never asked for"));
    EXPECT_EQ(expectError([&] { send(client()); }), APIClientError::unauthorized());

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 6u);
    const std::vector<std::string> expected{"Bearer old-token", "Bearer fresh-token",
                                            "Bearer old-token", "Bearer fresh-token",
                                            "Bearer old-token", "Bearer fresh-token"};
    for (std::size_t i = 0; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].header("Authorization"), expected[i]) << "request " << i;
    }
    EXPECT_EQ(renewed, 3);
    EXPECT_TRUE(sleeper->delays().empty());
}

TEST_F(ClaudeAPIClientLoopbackTest, ForbiddenReadsTheErrorTypeOfAPlainReplyOnly) {
    const std::string body = R"({"error":{"type":"permission_error","message":"quota"}})";
    server.enqueue(ScriptedResponse::plain(403, body));
    server.enqueue(ScriptedResponse::plain(403, body));
    EXPECT_EQ(expectError([&] { send(client()); }), APIClientError::forbidden("permission_error"));
    auto stream = client().streamToolUseMessage("s", messages(), tools());
    EXPECT_EQ(expectError([&] { stream.next(watchdog.token()); }),
              APIClientError::forbidden("unknown"));
    EXPECT_EQ(server.requestCount(), 2u);
}

TEST_F(ClaudeAPIClientLoopbackTest, OtherStatusesAndRefusedStreamsAreNotRetried) {
    server.enqueue(ScriptedResponse::plain(404, "no such path"));
    EXPECT_EQ(expectError([&] { send(client()); }), APIClientError::invalidResponse(404));
    server.enqueue(ScriptedResponse::plain(400, "bad request"));
    EXPECT_EQ(expectError([&] { send(client()); }), APIClientError::invalidResponse(400));

    server.enqueue(ScriptedResponse::plain(429, "", {{"Retry-After", "1"}}));
    auto limited = client().streamToolUseMessage("s", messages(), tools());
    EXPECT_EQ(expectError([&] { limited.next(watchdog.token()); }),
              APIClientError::rateLimited(std::nullopt));
    server.enqueue(ScriptedResponse::plain(500));
    auto failing = client().streamToolUseMessage("s", messages(), tools());
    EXPECT_EQ(expectError([&] { failing.next(watchdog.token()); }),
              APIClientError::serverError(500));

    EXPECT_EQ(server.requestCount(), 4u);
    EXPECT_TRUE(sleeper->delays().empty());
}

TEST_F(ClaudeAPIClientLoopbackTest, CancellingDuringARetryWaitEndsPromptly) {
    // With the configured base of 1 s the server's 30 s would be waited in full.
    server.enqueue(ScriptedResponse::plain(429, "", {{"Retry-After", "30"}}));
    std::stop_source source;
    auto outcome =
        std::async(std::launch::async, [&] { return send(client(1.0), source.get_token()); });
    ASSERT_TRUE(server.waitForRequests(1, 5s));
    // Let the client reach its wait; a stop before it is a cancellation as well.
    std::this_thread::sleep_for(50ms);
    const auto stopAt = std::chrono::steady_clock::now();
    source.request_stop();
    ASSERT_EQ(outcome.wait_for(5s), std::future_status::ready);
    // Far below the 30 s wait, with room for a loaded sanitizer run.
    EXPECT_LT(std::chrono::steady_clock::now() - stopAt, 3s);
    EXPECT_THROW(outcome.get(), CancellationError);
    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(sleeper->delays(), std::vector<double>{30});
}

TEST_F(ClaudeAPIClientLoopbackTest, CancellingAStreamEndsItPromptly) {
    server.enqueue(ScriptedResponse::eventStream().write("data: first\n\n").waitForGate("never"));
    auto stream = client().streamToolUseMessage("s", messages(), tools());
    EXPECT_EQ(stream.next(watchdog.token()), (SSELine{"", "first"}));
    const auto cancelAt = std::chrono::steady_clock::now();
    stream.cancel();
    EXPECT_THROW(stream.next(watchdog.token()), CancellationError);
    EXPECT_LT(std::chrono::steady_clock::now() - cancelAt, 3s);
    EXPECT_FALSE(watchdog.fired());

    // Letting go of a stream mid-body returns at once as well.
    server.enqueue(ScriptedResponse::eventStream().write("data: first\n\n").waitForGate("never"));
    auto abandoned = std::make_unique<AsyncStream<SSELine>>(
        client().streamToolUseMessage("s", messages(), tools()));
    EXPECT_EQ(abandoned->next(watchdog.token()), (SSELine{"", "first"}));
    const auto dropAt = std::chrono::steady_clock::now();
    abandoned.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - dropAt, 3s);
}

TEST_F(ClaudeAPIClientLoopbackTest, ConnectionLostMidStreamKeepsTheLinesAndEndsWithTheRawError) {
    server.enqueue(ScriptedResponse::eventStream().write("data: kept\n\ndata: half").hangUp());
    auto stream = client().streamToolUseMessage("s", messages(), tools());
    EXPECT_EQ(stream.next(watchdog.token()), (SSELine{"", "kept"}));
    try {
        stream.next(watchdog.token());
        FAIL() << "the stream ended normally";
    } catch (const net::HttpTransportError& error) {
        EXPECT_EQ(error.kind(), net::HttpTransportError::Kind::connectionLost);
    }
}

TEST_F(ClaudeAPIClientLoopbackTest, ALineWithoutEndIsCutOffWithAClearError) {
    // Bytes keep coming, so no idle timeout would ever end this stream; the
    // gate holds the body open far longer than the test waits.
    ScriptedResponse endless = ScriptedResponse::eventStream();
    endless.write("data: kept\n\ndata: ");
    for (int i = 0; i < 17; ++i) {
        endless.write(std::string(1024 * 1024, 'x'));
    }
    endless.waitForGate("never");
    server.enqueue(std::move(endless));

    auto stream = client().streamToolUseMessage("s", messages(), tools());
    EXPECT_EQ(stream.next(watchdog.token()), (SSELine{"", "kept"}));
    const APIClientError error = expectError([&] { stream.next(watchdog.token()); });
    EXPECT_EQ(error.kind(), APIClientError::Kind::networkError);
    EXPECT_EQ(error.detail(), "Event stream line longer than 16777216 bytes");
    server.openGate("never");
}
