#pragma once

#include "data/llm/ToolCall.h"
#include "foundation/Json.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vexel {

// One block of an assistant reply: free text or a tool call.
class ContentBlock {
public:
    // The blocks of a whole reply and why the model stopped ("tool_use",
    // "end_turn", ...), absent when the reply names no reason.
    struct ParsedReply {
        std::vector<ContentBlock> blocks;
        std::optional<std::string> stopReason;

        friend bool operator==(const ParsedReply&, const ParsedReply&) = default;
    };

    static ContentBlock text(std::string text);
    static ContentBlock toolUse(ToolCall call);

    bool isText() const { return std::holds_alternative<std::string>(payload_); }
    // The payload when the block is of that case, nullptr otherwise.
    const std::string* textValue() const { return std::get_if<std::string>(&payload_); }
    const ToolCall* toolCallValue() const { return std::get_if<ToolCall>(&payload_); }

    // Reads a non-streamed reply body. Malformed or unknown blocks are skipped;
    // a body that is not JSON throws DecodeError, one without a list of objects
    // under "content" throws ContentBlockParseError (missingContent or
    // emptyContent).
    static std::vector<ContentBlock> parse(std::string_view body);
    static ParsedReply parseWithStopReason(std::string_view body);

    // The text blocks joined with one space; tool calls leave no separator.
    static std::string extractMessage(const std::vector<ContentBlock>& blocks);
    static std::vector<ToolCall> extractToolCalls(const std::vector<ContentBlock>& blocks);

    friend bool operator==(const ContentBlock&, const ContentBlock&) = default;

private:
    explicit ContentBlock(std::variant<std::string, ToolCall> payload)
        : payload_(std::move(payload)) {}

    static std::vector<ContentBlock> parseBlocks(const Json& reply);
    static std::optional<ToolCall> parseToolUse(const Json& block);

    std::variant<std::string, ToolCall> payload_;
};

} // namespace vexel
