#include "data/llm/StreamContentBlockAccumulator.h"

#include "data/llm/JSONValueConversion.h"
#include "foundation/JsonReader.h"

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
        jsonBuffers_[delta->index] += delta->partialJson;
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
    // Malformed or non-object input becomes an empty input: the mapper then
    // reports the missing parameters to the model instead of the reply failing.
    const std::optional<Json> parsed = json::tryParse(buffer->second);
    jsonBuffers_.erase(buffer);
    completedBlocks_.push_back(
        ContentBlock::toolUse(ToolCall{std::move(toolUse.id), std::move(toolUse.name),
                                       parsed ? convertToJSONObject(*parsed) : JSONObject{}}));
}

} // namespace vexel
