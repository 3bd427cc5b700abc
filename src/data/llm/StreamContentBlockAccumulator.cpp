#include "data/llm/StreamContentBlockAccumulator.h"

#include "data/llm/AssistantReplyError.h"
#include "foundation/UnicodeText.h"

namespace vexel {

using Event = AnthropicStreamEvent;

std::optional<StreamContentBlockAccumulator::Feedback>
StreamContentBlockAccumulator::feed(const AnthropicStreamEvent& event) {
    if (const auto* start = event.getIf<Event::ContentBlockStart>()) {
        if (const auto* toolUse = start->type.toolUseValue()) {
            jsonBuffers_[start->index] = "";
            toolUseInfo_[start->index] = ToolUseInfo{toolUse->id, toolUse->name};
            return Feedback::ToolUseStarted{toolUse->name};
        }
        textBuffers_[start->index] = "";
        return std::nullopt;
    }
    if (const auto* delta = event.getIf<Event::TextDelta>()) {
        textBuffers_[delta->index] += delta->text;
        return Feedback::TextDelta{delta->text};
    }
    if (const auto* delta = event.getIf<Event::InputJsonDelta>()) {
        std::string& buffer = jsonBuffers_[delta->index];
        if (delta->partialJson.size() > maxToolInputBytes - buffer.size()) {
            throw AssistantReplyError::toolInputTooLong(maxToolInputBytes);
        }
        buffer += delta->partialJson;
        return std::nullopt;
    }
    if (const auto* stop = event.getIf<Event::ContentBlockStop>()) {
        finishBlock(stop->index);
        return std::nullopt;
    }
    if (const auto* delta = event.getIf<Event::MessageDelta>()) {
        stopReason_ = delta->stopReason;
        return std::nullopt;
    }
    return std::nullopt;
}

void StreamContentBlockAccumulator::finishBlock(std::int64_t index) {
    if (auto text = textBuffers_.find(index); text != textBuffers_.end()) {
        completedBlocks_.push_back(ContentBlock::text(std::move(text->second)));
        textBuffers_.erase(text);
        return;
    }
    auto info = toolUseInfo_.find(index);
    if (info == toolUseInfo_.end()) {
        return;
    }
    ToolUseInfo toolUse = std::move(info->second);
    toolUseInfo_.erase(info);
    auto buffer = jsonBuffers_.find(index);
    if (buffer == jsonBuffers_.end()) {
        return;
    }
    // No input at all is a call without arguments. Input that is not a JSON
    // object is marked, so that the call fails as a tool error: read as empty,
    // it would run with every argument at its default.
    ToolCall call{std::move(toolUse.id), std::move(toolUse.name), {}};
    if (!unicode::trimmingWhitespaceAndNewlines(buffer->second).empty()) {
        if (std::optional<JSONObjectText> input = JSONObjectText::fromJSON(buffer->second)) {
            call.input = std::move(*input);
        } else {
            call.malformedInput = true;
        }
    }
    jsonBuffers_.erase(buffer);
    completedBlocks_.push_back(ContentBlock::toolUse(std::move(call)));
}

} // namespace vexel
