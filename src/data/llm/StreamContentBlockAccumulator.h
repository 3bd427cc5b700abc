#pragma once

#include "data/llm/AnthropicStreamEvent.h"
#include "data/llm/ContentBlock.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace vexel {

// Assembles the events of one streamed reply into finished content blocks:
// text and input-JSON fragments are joined per block index, and a block is
// finished when its stop event arrives. One accumulator per reply, confined to
// the thread that reads the stream.
class StreamContentBlockAccumulator {
public:
    // What the caller shows while the reply streams in.
    class Feedback {
    public:
        struct TextDelta {
            std::string text;
            friend bool operator==(const TextDelta&, const TextDelta&) = default;
        };
        struct ToolUseStarted {
            std::string name;
            friend bool operator==(const ToolUseStarted&, const ToolUseStarted&) = default;
        };

        template <typename Case>
        requires std::is_constructible_v<std::variant<TextDelta, ToolUseStarted>, Case &&>
        Feedback(Case&& payload) // NOLINT
            : value_(std::forward<Case>(payload)) {}

        const TextDelta* textDelta() const { return std::get_if<TextDelta>(&value_); }
        const ToolUseStarted* toolUseStarted() const {
            return std::get_if<ToolUseStarted>(&value_);
        }

        friend bool operator==(const Feedback&, const Feedback&) = default;

    private:
        std::variant<TextDelta, ToolUseStarted> value_;
    };

    // Updates the buffers with one event; tells when text arrived (also empty
    // text) or a tool-use block began.
    std::optional<Feedback> feed(const AnthropicStreamEvent& event);

    // Finished blocks in the order their stop events arrived. Blocks that never
    // stopped are not among them.
    const std::vector<ContentBlock>& completedBlocks() const { return completedBlocks_; }
    // The stop reason of the last "message_delta"; absent when that had none.
    const std::optional<std::string>& stopReason() const { return stopReason_; }

private:
    struct ToolUseInfo {
        std::string id;
        std::string name;
    };

    void finishBlock(std::int64_t index);

    std::vector<ContentBlock> completedBlocks_;
    std::optional<std::string> stopReason_;
    std::map<std::int64_t, std::string> textBuffers_;
    std::map<std::int64_t, std::string> jsonBuffers_;
    std::map<std::int64_t, ToolUseInfo> toolUseInfo_;
};

} // namespace vexel
