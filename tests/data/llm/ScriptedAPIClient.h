#pragma once

#include "foundation/CancellationError.h"
#include "infrastructure/network/APIClient.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vexel::test {

// Reply blocks written as the backend writes them:
// {"type": "text", "text": ...} or {"type": "tool_use", "id", "name", "input"}.
inline Json textBlock(std::string text) {
    return Json{{"type", "text"}, {"text", std::move(text)}};
}

inline Json toolUseBlock(std::string id, std::string name, Json input = Json::object()) {
    return Json{{"type", "tool_use"},
                {"id", std::move(id)},
                {"name", std::move(name)},
                {"input", std::move(input)}};
}

// A whole non-streamed reply body.
inline std::string plainReply(const std::vector<Json>& blocks, std::optional<std::string> stop) {
    Json body = {{"id", "msg_1"}, {"type", "message"}, {"role", "assistant"}};
    body["content"] = Json(blocks);
    body["stop_reason"] = stop ? Json(*stop) : Json(nullptr);
    return body.dump();
}

// The same reply as stream events: text split into pieces at spaces and tool
// input split into fragments of `fragment` bytes, so that joining matters.
inline std::vector<SSELine> streamedReply(const std::vector<Json>& blocks,
                                          std::optional<std::string> stop,
                                          std::size_t fragment = 7) {
    std::vector<SSELine> lines;
    auto add = [&lines](std::string event, const Json& data) {
        lines.push_back(SSELine{std::move(event), data.dump()});
    };
    add("message_start",
        {{"type", "message_start"}, {"message", {{"usage", {{"input_tokens", 9}}}}}});
    for (std::size_t index = 0; index < blocks.size(); ++index) {
        const Json& block = blocks[index];
        if (block["type"] == "text") {
            add("content_block_start",
                {{"index", index}, {"content_block", {{"type", "text"}, {"text", ""}}}});
            const std::string text = block["text"];
            std::size_t begin = 0;
            while (begin < text.size()) {
                std::size_t end = text.find(' ', begin + 1);
                end = end == std::string::npos ? text.size() : end;
                add("content_block_delta",
                    {{"index", index},
                     {"delta",
                      {{"type", "text_delta"}, {"text", text.substr(begin, end - begin)}}}});
                begin = end;
            }
        } else {
            add("content_block_start", {{"index", index},
                                        {"content_block",
                                         {{"type", "tool_use"},
                                          {"id", block["id"]},
                                          {"name", block["name"]},
                                          {"input", Json::object()}}}});
            const std::string input = block["input"].dump();
            for (std::size_t begin = 0; begin < input.size(); begin += fragment) {
                add("content_block_delta", {{"index", index},
                                            {"delta",
                                             {{"type", "input_json_delta"},
                                              {"partial_json", input.substr(begin, fragment)}}}});
            }
        }
        add("content_block_stop", {{"index", index}});
    }
    add("message_delta", {{"delta", {{"stop_reason", stop ? Json(*stop) : Json(nullptr)}}},
                          {"usage", {{"output_tokens", 12}}}});
    add("message_stop", {{"type", "message_stop"}});
    return lines;
}

// An APIClient that answers from a script and records every request. A held
// stream delivers its lines, then waits until its consumer lets go (at most
// `holdLimit`), so a test can see whether the stop reached the producer.
class ScriptedAPIClient final : public APIClient {
public:
    struct Request {
        std::string systemPrompt;
        std::vector<Json> messages;
        std::vector<Json> tools;
    };

    struct StreamScript {
        std::vector<SSELine> lines;
        // Thrown after the lines.
        std::exception_ptr failure;
        bool hold = false;
    };

    static constexpr std::chrono::seconds holdLimit{10};

    void enqueuePlain(std::string body) {
        std::lock_guard lock(state_->mutex);
        state_->plain.push_back(PlainScript{std::move(body), nullptr});
    }
    void enqueuePlainFailure(std::exception_ptr failure) {
        std::lock_guard lock(state_->mutex);
        state_->plain.push_back(PlainScript{{}, std::move(failure)});
    }
    void enqueueStream(StreamScript script) {
        std::lock_guard lock(state_->mutex);
        state_->streams.push_back(std::move(script));
    }

    std::vector<Request> requests() const {
        std::lock_guard lock(state_->mutex);
        return state_->requests;
    }
    bool heldStreamWasStopped() const {
        std::lock_guard lock(state_->mutex);
        return state_->heldStreamStopped;
    }
    bool waitUntilHeld(std::chrono::milliseconds limit) const {
        std::unique_lock lock(state_->mutex);
        return state_->changed.wait_for(lock, limit, [this] { return state_->holding; });
    }

    std::string sendToolUseMessage(const std::string& systemPrompt,
                                   const std::vector<Json>& messages,
                                   const std::vector<Json>& tools, std::stop_token stop) override {
        throwIfCancelled(stop);
        std::lock_guard lock(state_->mutex);
        state_->requests.push_back(Request{systemPrompt, messages, tools});
        if (state_->plain.empty()) {
            throw std::logic_error("unscripted request");
        }
        PlainScript script = std::move(state_->plain.front());
        state_->plain.pop_front();
        if (script.failure) {
            std::rethrow_exception(script.failure);
        }
        return script.body;
    }

    AsyncStream<SSELine> streamToolUseMessage(const std::string& systemPrompt,
                                              const std::vector<Json>& messages,
                                              const std::vector<Json>& tools) override {
        std::optional<StreamScript> script;
        {
            std::lock_guard lock(state_->mutex);
            state_->requests.push_back(Request{systemPrompt, messages, tools});
            if (!state_->streams.empty()) {
                script = std::move(state_->streams.front());
                state_->streams.pop_front();
            }
        }
        if (!script) {
            return AsyncStream<SSELine>::failed(
                std::make_exception_ptr(std::logic_error("unscripted request")));
        }
        return AsyncStream<SSELine>([state = state_, script = std::move(*script)](
                                        AsyncChannelWriter<SSELine>& writer, std::stop_token stop) {
            for (const SSELine& line : script.lines) {
                writer.send(line);
            }
            if (script.hold) {
                std::unique_lock lock(state->mutex);
                state->holding = true;
                state->changed.notify_all();
                state->changed.wait_for(lock, stop, holdLimit, [] { return false; });
                state->heldStreamStopped = stop.stop_requested();
                throwIfCancelled(stop);
            }
            if (script.failure) {
                std::rethrow_exception(script.failure);
            }
        });
    }

private:
    struct PlainScript {
        std::string body;
        std::exception_ptr failure;
    };
    struct State {
        mutable std::mutex mutex;
        std::condition_variable_any changed;
        std::deque<PlainScript> plain;
        std::deque<StreamScript> streams;
        std::vector<Request> requests;
        bool holding = false;
        bool heldStreamStopped = false;
    };

    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace vexel::test
