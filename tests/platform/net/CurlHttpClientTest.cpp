#include "platform/net/CurlHttpClient.h"

#include "foundation/CancellationError.h"
#include "platform/net/HttpTransportError.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>

using namespace vexel;
using namespace vexel::net;
using namespace std::chrono_literals;
using test::LoopbackServer;
using test::ScriptedResponse;

namespace {

class RecordingHandler final : public HttpResponseHandler {
public:
    std::function<bool(std::string_view)> onChunk;
    std::optional<HttpResponseHead> head;
    std::string body;
    int headCalls = 0;
    bool bodyBeforeHead = false;
    std::atomic<int> chunks = 0;

    void onResponse(const HttpResponseHead& response) override {
        ++headCalls;
        head = response;
    }
    bool onBody(std::string_view bytes) override {
        bodyBeforeHead = bodyBeforeHead || !head;
        body.append(bytes);
        ++chunks;
        return onChunk ? onChunk(bytes) : true;
    }
};

HttpRequest postTo(const std::string& url, std::string body = "{}") {
    HttpRequest request;
    request.method = "POST";
    request.url = url;
    request.headers = {{"content-type", "application/json"}, {"Authorization", "Bearer t"}};
    request.body = std::move(body);
    request.timeout = std::chrono::duration<double>(5);
    return request;
}

HttpTransportError sendExpectingFailure(HttpClient& client, const HttpRequest& request,
                                        HttpResponseHandler& handler) {
    try {
        client.send(request, handler, {});
    } catch (const HttpTransportError& error) {
        return error;
    }
    throw std::logic_error("the exchange did not fail");
}

// A TCP listener that answers one connection with fixed bytes (perhaps none)
// and closes it: for replies no HTTP server would send.
class RawReplyServer {
public:
    explicit RawReplyServer(std::string reply, std::chrono::milliseconds holdBeforeClosing =
                                                   std::chrono::milliseconds(0))
        : reply_(std::move(reply))
        , hold_(holdBeforeClosing) {
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(socket_, 1) != 0 ||
            ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("raw server could not listen");
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serveOnce(); });
    }
    ~RawReplyServer() {
        thread_.join();
        ::close(socket_);
    }
    int port() const { return port_; }

private:
    void serveOnce() {
        pollfd waiting{socket_, POLLIN, 0};
        if (::poll(&waiting, 1, 5000) != 1) {
            return;
        }
        const int connection = ::accept(socket_, nullptr, nullptr);
        if (connection < 0) {
            return;
        }
        // Read the request head, so that closing does not reset the connection early.
        std::string received;
        char buffer[4096];
        pollfd reading{connection, POLLIN, 0};
        while (received.find("\r\n\r\n") == std::string::npos && ::poll(&reading, 1, 2000) == 1) {
            const ssize_t n = ::read(connection, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            received.append(buffer, static_cast<std::size_t>(n));
        }
        if (!reply_.empty()) {
            (void)!::write(connection, reply_.data(), reply_.size());
        }
        // Hold the connection open (until the client closes it, at most `hold_`).
        pollfd closing{connection, POLLIN, 0};
        const auto until = std::chrono::steady_clock::now() + hold_;
        while (std::chrono::steady_clock::now() < until && ::poll(&closing, 1, 10) >= 0) {
            if ((closing.revents & (POLLIN | POLLHUP)) != 0 &&
                ::read(connection, buffer, sizeof buffer) <= 0) {
                break;
            }
        }
        ::close(connection);
    }

    std::string reply_;
    std::chrono::milliseconds hold_;
    int socket_ = -1;
    int port_ = 0;
    std::thread thread_;
};

} // namespace

TEST(CurlHttpClient, SendsTheRequestAsGivenAndDeliversTheStatusBeforeTheBody) {
    LoopbackServer server;
    server.enqueue(ScriptedResponse::plain(201, "hello", {{"X-Reply-Kind", "greeting"}}));
    CurlHttpClient client;
    RecordingHandler handler;
    client.send(postTo(server.baseURL() + "/some/path", R"({"a":1})"), handler, {});

    ASSERT_TRUE(handler.head);
    EXPECT_EQ(handler.headCalls, 1);
    EXPECT_FALSE(handler.bodyBeforeHead);
    EXPECT_EQ(handler.head->statusCode, 201);
    EXPECT_EQ(handler.head->headers.value("x-reply-kind"), "greeting");
    EXPECT_EQ(handler.head->headers.value("X-REPLY-KIND"), "greeting");
    EXPECT_EQ(handler.body, "hello");

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].path, "/some/path");
    EXPECT_EQ(requests[0].header("Content-Type"), "application/json");
    EXPECT_EQ(requests[0].header("authorization"), "Bearer t");
    EXPECT_EQ(requests[0].headerCount("Expect"), 0u);
    EXPECT_EQ(requests[0].body, R"({"a":1})");
}

TEST(CurlHttpClient, AnEmptyBodyStillDeliversItsStatus) {
    LoopbackServer server;
    server.enqueue(ScriptedResponse::plain(204));
    server.enqueue(ScriptedResponse::plain(503));
    CurlHttpClient client;
    for (const int expected : {204, 503}) {
        RecordingHandler handler;
        client.send(postTo(server.baseURL() + "/x", ""), handler, {});
        ASSERT_TRUE(handler.head);
        EXPECT_EQ(handler.head->statusCode, expected);
        EXPECT_EQ(handler.headCalls, 1);
        EXPECT_EQ(handler.body, "");
    }
}

TEST(CurlHttpClient, BodyPiecesArriveAsTheServerWritesThem) {
    LoopbackServer server;
    // The server holds "two" back until the client has seen "one".
    server.enqueue(ScriptedResponse::eventStream().write("one").waitForGate("next").write("two"));
    CurlHttpClient client;
    RecordingHandler handler;
    bool sawOneAlone = false;
    handler.onChunk = [&](std::string_view) {
        if (handler.body == "one") {
            sawOneAlone = true;
            server.openGate("next");
        }
        return true;
    };
    const auto start = std::chrono::steady_clock::now();
    client.send(postTo(server.baseURL() + "/s"), handler, {});
    EXPECT_TRUE(sawOneAlone);
    EXPECT_EQ(handler.body, "onetwo");
    EXPECT_LT(std::chrono::steady_clock::now() - start, LoopbackServer::gateTimeout / 2);
}

TEST(CurlHttpClient, HandlerEndsTheTransferEarlyOrFailsItWithItsOwnError) {
    LoopbackServer server;
    server.enqueue(ScriptedResponse::eventStream().write("enough").waitForGate("never"));
    server.enqueue(ScriptedResponse::plain(200, "body"));
    CurlHttpClient client;

    RecordingHandler stopping;
    stopping.onChunk = [](std::string_view) { return false; };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NO_THROW(client.send(postTo(server.baseURL() + "/s"), stopping, {}));
    EXPECT_EQ(stopping.body, "enough");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);

    struct Refusing final : HttpResponseHandler {
        void onResponse(const HttpResponseHead&) override { throw std::domain_error("refused"); }
        bool onBody(std::string_view) override { return true; }
    } refusing;
    EXPECT_THROW(client.send(postTo(server.baseURL() + "/p"), refusing, {}), std::domain_error);
}

TEST(CurlHttpClient, StopRequestEndsTheExchangePromptlyAsCancellation) {
    LoopbackServer server;
    server.enqueue(ScriptedResponse::eventStream().write("first").waitForGate("never"));
    CurlHttpClient client;
    RecordingHandler handler;
    std::stop_source source;
    std::exception_ptr outcome;
    std::atomic<bool> returned = false;
    std::jthread exchange([&] {
        try {
            client.send(postTo(server.baseURL() + "/s"), handler, source.get_token());
        } catch (...) {
            outcome = std::current_exception();
        }
        returned = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (handler.chunks == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_EQ(handler.chunks, 1);
    const auto stopAt = std::chrono::steady_clock::now();
    source.request_stop();
    while (!returned && std::chrono::steady_clock::now() < stopAt + 5s) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - stopAt, 3s);
    exchange.join();
    ASSERT_TRUE(outcome);
    EXPECT_THROW(std::rethrow_exception(outcome), CancellationError);

    // Stopped before it starts: nothing is sent.
    std::stop_source early;
    early.request_stop();
    EXPECT_THROW(client.send(postTo(server.baseURL() + "/s"), handler, early.get_token()),
                 CancellationError);
    EXPECT_EQ(server.requestCount(), 1u);
}

TEST(CurlHttpClient, TransferFailuresAreClassified) {
    CurlHttpClient client;
    {
        // A bound socket that does not listen refuses connections.
        const int unused = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ASSERT_EQ(::bind(unused, reinterpret_cast<sockaddr*>(&address), length), 0);
        ASSERT_EQ(::getsockname(unused, reinterpret_cast<sockaddr*>(&address), &length), 0);
        RecordingHandler handler;
        const auto refused = sendExpectingFailure(
            client, postTo("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/x"),
            handler);
        ::close(unused);
        EXPECT_EQ(refused.kind(), HttpTransportError::Kind::failed);
        EXPECT_EQ(refused.code(), 7); // could not connect
        EXPECT_FALSE(handler.head);
    }
    {
        LoopbackServer server;
        server.enqueue(ScriptedResponse::eventStream().write("partial").hangUp());
        RecordingHandler handler;
        const auto lost = sendExpectingFailure(client, postTo(server.baseURL() + "/x"), handler);
        EXPECT_EQ(lost.kind(), HttpTransportError::Kind::connectionLost);
        ASSERT_TRUE(handler.head);
        EXPECT_EQ(handler.body, "partial");
    }
    {
        RawReplyServer silent("");
        RecordingHandler handler;
        const auto nothing = sendExpectingFailure(
            client, postTo("http://127.0.0.1:" + std::to_string(silent.port()) + "/x"), handler);
        EXPECT_EQ(nothing.kind(), HttpTransportError::Kind::connectionLost);
    }
    {
        RawReplyServer garbage("this is not HTTP at all\r\n\r\n");
        RecordingHandler handler;
        const auto notHttp = sendExpectingFailure(
            client, postTo("http://127.0.0.1:" + std::to_string(garbage.port()) + "/x"), handler);
        EXPECT_EQ(notHttp.kind(), HttpTransportError::Kind::invalidResponse);
        EXPECT_FALSE(handler.head);
    }
}

// The time-out is an idle limit: a server that accepts the request and then
// says nothing fails after about that long. (Silence after some body bytes is
// caught the same way, a few seconds later, once libcurl's speed window has
// passed the last bytes.)
TEST(CurlHttpClient, SilenceLongerThanTheTimeoutFailsAsTimedOut) {
    RawReplyServer mute("", std::chrono::milliseconds(6000));
    CurlHttpClient client;
    RecordingHandler handler;
    auto request = postTo("http://127.0.0.1:" + std::to_string(mute.port()) + "/slow");
    request.timeout = std::chrono::duration<double>(1);
    const auto start = std::chrono::steady_clock::now();
    const auto error = sendExpectingFailure(client, request, handler);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(error.kind(), HttpTransportError::Kind::timedOut);
    EXPECT_EQ(error.code(), 28);
    EXPECT_GE(elapsed, 900ms);
    // libcurl samples the speed about once a second over a window of a few
    // seconds, so the limit is met late by up to a few seconds.
    EXPECT_LT(elapsed, 5s);
}

TEST(CurlHttpClient, RefusesHeaderFieldsThatWouldSplitTheRequest) {
    LoopbackServer server;
    CurlHttpClient client;
    RecordingHandler handler;
    auto request = postTo(server.baseURL() + "/x");
    request.headers.emplace_back("Authorization", "Bearer a\r\nX-Injected: yes");
    EXPECT_THROW(client.send(request, handler, {}), std::invalid_argument);
    request.headers.back() = {"Bad\nName", "v"};
    EXPECT_THROW(client.send(request, handler, {}), std::invalid_argument);
    EXPECT_EQ(server.requestCount(), 0u);
}
