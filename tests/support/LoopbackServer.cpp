#include "support/LoopbackServer.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace vexel::test {

namespace {

bool namesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::optional<std::string> RecordedRequest::header(std::string_view name) const {
    for (const auto& [fieldName, value] : headers) {
        if (namesEqual(fieldName, name)) {
            return value;
        }
    }
    return std::nullopt;
}

std::size_t RecordedRequest::headerCount(std::string_view name) const {
    return static_cast<std::size_t>(
        std::count_if(headers.begin(), headers.end(),
                      [&](const auto& field) { return namesEqual(field.first, name); }));
}

ScriptedResponse ScriptedResponse::plain(int status, std::string body,
                                         std::vector<std::pair<std::string, std::string>> headers) {
    ScriptedResponse response;
    response.status = status;
    response.body = std::move(body);
    response.headers = std::move(headers);
    return response;
}

ScriptedResponse ScriptedResponse::eventStream(int status) {
    ScriptedResponse response;
    response.status = status;
    response.contentType = "text/event-stream";
    response.streamed = true;
    return response;
}

ScriptedResponse& ScriptedResponse::header(std::string name, std::string value) {
    headers.emplace_back(std::move(name), std::move(value));
    return *this;
}

ScriptedResponse& ScriptedResponse::write(std::string bytes) {
    steps.push_back({Step::Kind::write, std::move(bytes), {}});
    return *this;
}

ScriptedResponse& ScriptedResponse::waitForGate(std::string gate) {
    steps.push_back({Step::Kind::waitForGate, std::move(gate), {}});
    return *this;
}

ScriptedResponse& ScriptedResponse::pause(std::chrono::milliseconds duration) {
    steps.push_back({Step::Kind::pause, {}, duration});
    return *this;
}

ScriptedResponse& ScriptedResponse::hangUp() {
    steps.push_back({Step::Kind::hangUp, {}, {}});
    return *this;
}

LoopbackServer::LoopbackServer()
    : server_(std::make_unique<httplib::Server>()) {
    // One exchange per connection, so that every request is seen on its own.
    server_->set_keep_alive_max_count(1);

    auto handle = [this](const httplib::Request& request, httplib::Response& response) {
        RecordedRequest recorded{
            request.method, request.path, {}, request.body, std::chrono::steady_clock::now()};
        for (const auto& [name, value] : request.headers) {
            // cpp-httplib adds these for its own bookkeeping; they were not sent.
            if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
                name == "LOCAL_PORT") {
                continue;
            }
            recorded.headers.emplace_back(name, value);
        }
        ScriptedResponse scripted = ScriptedResponse::plain(404, "unscripted request");
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(std::move(recorded));
            if (!script_.empty()) {
                scripted = std::move(script_.front());
                script_.pop_front();
            }
        }
        changed_.notify_all();

        response.status = scripted.status;
        for (const auto& [name, value] : scripted.headers) {
            response.set_header(name, value);
        }
        if (!scripted.streamed) {
            response.set_content(scripted.body, scripted.contentType.c_str());
            return;
        }
        response.set_chunked_content_provider(
            scripted.contentType,
            [this, steps = scripted.steps](std::size_t, httplib::DataSink& sink) {
                for (const auto& step : steps) {
                    switch (step.kind) {
                    case ScriptedResponse::Step::Kind::write:
                        if (!sink.write(step.text.data(), step.text.size())) {
                            return false;
                        }
                        break;
                    case ScriptedResponse::Step::Kind::waitForGate:
                        waitForGateOpen(step.text);
                        break;
                    case ScriptedResponse::Step::Kind::pause:
                        std::this_thread::sleep_for(step.pause);
                        break;
                    case ScriptedResponse::Step::Kind::hangUp:
                        return false;
                    }
                }
                sink.done();
                return true;
            });
    };
    server_->Get(".*", handle);
    server_->Post(".*", handle);
    server_->Put(".*", handle);
    server_->Delete(".*", handle);

    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("loopback server could not bind a port");
    }
    // The socket already listens: connections made before the accept loop
    // starts wait in its backlog.
    listener_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() is ignored until the accept loop runs: wait for it (bounded).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!server_->is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!server_->is_running()) {
        server_->stop();
        listener_.join();
        throw std::runtime_error("loopback server did not start");
    }
}

LoopbackServer::~LoopbackServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    server_->stop();
    listener_.join();
}

std::string LoopbackServer::baseURL() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void LoopbackServer::enqueue(ScriptedResponse response) {
    std::lock_guard lock(mutex_);
    script_.push_back(std::move(response));
}

void LoopbackServer::openGate(const std::string& gate) {
    {
        std::lock_guard lock(mutex_);
        openGates_.insert(gate);
    }
    changed_.notify_all();
}

void LoopbackServer::waitForGateOpen(const std::string& gate) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, gateTimeout, [&] { return stopping_ || openGates_.count(gate) > 0; });
}

std::vector<RecordedRequest> LoopbackServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::size_t LoopbackServer::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

bool LoopbackServer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

} // namespace vexel::test
