#pragma once

#include "data/llm/AnthropicStreamEvent.h"
#include "data/llm/ContentBlock.h"
#include "domain/entities/LLMStreamEvent.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vexel {

// Assembles the events of one streamed reply into finished content blocks:
// text and input-JSON fragments are joined per block index, and a block is
// finished when its stop event arrives. One accumulator per reply, confined to
// the thread that reads the stream.
class StreamContentBlockAccumulator {
public:
    // What the caller shows while the reply streams in: a text delta or the
    // start of a tool use, as the assistant loop reports them.
    using Feedback = LLMStreamEvent;

    // The most input JSON one tool call may gather. Real inputs are a few
    // hundred bytes; past this the reply is refused whole rather than growing
    // without bound or being applied in part.
    static constexpr std::size_t maxToolInputBytes = 1024 * 1024;

    // Updates the buffers with one event; tells when text arrived (also empty
    // text) or a tool-use block began. Throws AssistantReplyError when a tool
    // input outgrows maxToolInputBytes.
    std::optional<Feedback> feed(const AnthropicStreamEvent& event);

    // Finished blocks in the order their stop events arrived. Blocks that never
    // stopped are not among them.
    const std::vector<ContentBlock>& completedBlocks() const { return completedBlocks_; }
    // The stop reason of the last "message_delta"; absent when that had none.
    const std::optional<std::string>& stopReason() const { return stopReason_; }
    // Whether a tool-use block began and has not stopped: a reply that ends
    // so lacks a call it was making.
    bool hasOpenToolUse() const { return !toolUseInfo_.empty(); }

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
