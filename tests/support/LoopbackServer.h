#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace httplib {
class Server;
}

namespace vexel::test {

// One request as the loopback server received it.
struct RecordedRequest {
    std::string method;
    std::string path;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::chrono::steady_clock::time_point receivedAt;

    // The first header of that name, compared without regard to case.
    std::optional<std::string> header(std::string_view name) const;
    std::size_t headerCount(std::string_view name) const;
};

// One scripted answer. A plain answer sends its body with a Content-Length; a
// streamed answer sends its body in chunks, step by step, so that a test sees
// exactly when each piece leaves the server.
class ScriptedResponse {
public:
    struct Step {
        enum class Kind { write, waitForGate, pause, hangUp };
        Kind kind;
        std::string text; // bytes of a write, name of a gate
        std::chrono::milliseconds pause{0};
    };

    static ScriptedResponse plain(int status, std::string body = {},
                                  std::vector<std::pair<std::string, std::string>> headers = {});
    // Content type "text/event-stream"; add steps with the builders below.
    static ScriptedResponse eventStream(int status = 200);

    ScriptedResponse& header(std::string name, std::string value);
    ScriptedResponse& write(std::string bytes);
    // Holds the rest of the body until the test opens the gate (or 10 s pass).
    ScriptedResponse& waitForGate(std::string gate);
    ScriptedResponse& pause(std::chrono::milliseconds duration);
    // Drops the connection without ending the body.
    ScriptedResponse& hangUp();

    int status = 200;
    std::string contentType = "application/json";
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    bool streamed = false;
    std::vector<Step> steps;
};

// A real HTTP server on 127.0.0.1 and a free port, answering every request with
// the next scripted response (404 "unscripted request" once the script runs
// out) and recording what it received. Every wait is bounded.
class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>"
    std::string baseURL() const;

    void enqueue(ScriptedResponse response);
    void openGate(const std::string& gate);

    std::vector<RecordedRequest> requests() const;
    std::size_t requestCount() const;
    // True when at least `count` requests arrived within `timeout`.
    bool waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

    static constexpr std::chrono::seconds gateTimeout{10};

private:
    void waitForGateOpen(const std::string& gate);

    std::unique_ptr<httplib::Server> server_;
    int port_ = 0;
    std::thread listener_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<ScriptedResponse> script_;
    std::vector<RecordedRequest> requests_;
    std::set<std::string> openGates_;
    bool stopping_ = false;
};

} // namespace vexel::test
