#pragma once

#include "foundation/Json.h"

#include <string>

// The backend's server-sent events in the Anthropic Messages format, for
// scripting a loopback server's streamed replies.
namespace vexel::test::anthropic {

inline std::string event(const std::string& name, const Json& data) {
    return "event: " + name + "\ndata: " + data.dump() + "\n\n";
}

inline std::string messageStart() {
    return event("message_start",
                 {{"type", "message_start"},
                  {"message", {{"id", "msg_01"}, {"usage", {{"input_tokens", 812}}}}}});
}

inline std::string textStart(int index) {
    return event("content_block_start", {{"type", "content_block_start"},
                                         {"index", index},
                                         {"content_block", {{"type", "text"}, {"text", ""}}}});
}

inline std::string textDelta(int index, const std::string& text) {
    return event("content_block_delta", {{"type", "content_block_delta"},
                                         {"index", index},
                                         {"delta", {{"type", "text_delta"}, {"text", text}}}});
}

inline std::string toolStart(int index, const std::string& id, const std::string& name) {
    return event("content_block_start",
                 {{"type", "content_block_start"},
                  {"index", index},
                  {"content_block",
                   {{"type", "tool_use"}, {"id", id}, {"name", name}, {"input", Json::object()}}}});
}

// One fragment of a tool call's input JSON, as text.
inline std::string inputDelta(int index, const std::string& fragment) {
    return event("content_block_delta",
                 {{"type", "content_block_delta"},
                  {"index", index},
                  {"delta", {{"type", "input_json_delta"}, {"partial_json", fragment}}}});
}

inline std::string blockStop(int index) {
    return event("content_block_stop", {{"type", "content_block_stop"}, {"index", index}});
}

// A tool call whose whole input arrives in one delta.
inline std::string toolCall(int index, const std::string& id, const std::string& name,
                            const Json& input) {
    return toolStart(index, id, name) + inputDelta(index, input.dump()) + blockStop(index);
}

inline std::string messageEnd(const std::string& stopReason) {
    return event("message_delta", {{"type", "message_delta"},
                                   {"delta", {{"stop_reason", stopReason}}},
                                   {"usage", {{"output_tokens", 57}}}}) +
           event("message_stop", {{"type", "message_stop"}});
}

// A whole reply: its text (if any) as one block, then the tool calls.
inline std::string textReply(const std::string& text, const std::string& stopReason) {
    return messageStart() + textStart(0) + textDelta(0, text) + blockStop(0) +
           messageEnd(stopReason);
}

} // namespace vexel::test::anthropic
