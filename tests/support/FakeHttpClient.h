#pragma once

#include "foundation/CancellationError.h"
#include "platform/net/HttpClient.h"
#include "platform/net/HttpTransportError.h"

#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vexel::test {

// An HTTP client that answers from a script and records the requests it got.
class FakeHttpClient final : public net::HttpClient {
public:
    struct Answer {
        net::HttpResponseHead head;
        std::vector<std::string> chunks;
        // Thrown before the head when there is no head, else after the chunks.
        std::exception_ptr failure;
        bool deliverHead = true;
        // Runs when the request arrives, before anything is answered.
        std::function<void()> onArrival;
    };

    static Answer status(int code, std::string body = {},
                         std::vector<std::pair<std::string, std::string>> headers = {}) {
        Answer answer;
        answer.head.statusCode = code;
        for (auto& [name, value] : headers) {
            answer.head.headers.add(std::move(name), std::move(value));
        }
        if (!body.empty()) {
            answer.chunks.push_back(std::move(body));
        }
        return answer;
    }

    static Answer failure(net::HttpTransportError::Kind kind, int code) {
        Answer answer;
        answer.deliverHead = false;
        answer.failure = std::make_exception_ptr(net::HttpTransportError(kind, code, "scripted"));
        return answer;
    }

    void enqueue(Answer answer) {
        std::lock_guard lock(mutex_);
        script_.push_back(std::move(answer));
    }

    std::vector<net::HttpRequest> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

    void send(const net::HttpRequest& request, net::HttpResponseHandler& handler,
              std::stop_token stop) override {
        throwIfCancelled(stop);
        Answer answer;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
            if (script_.empty()) {
                throw std::logic_error("FakeHttpClient: unscripted request");
            }
            answer = std::move(script_.front());
            script_.pop_front();
        }
        if (answer.onArrival) {
            answer.onArrival();
        }
        if (answer.deliverHead) {
            handler.onResponse(answer.head);
            for (const auto& chunk : answer.chunks) {
                if (!handler.onBody(chunk)) {
                    return;
                }
            }
        }
        if (answer.failure) {
            std::rethrow_exception(answer.failure);
        }
    }

private:
    mutable std::mutex mutex_;
    std::deque<Answer> script_;
    std::vector<net::HttpRequest> requests_;
};

} // namespace vexel::test
