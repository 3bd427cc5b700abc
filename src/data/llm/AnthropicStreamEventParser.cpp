#include "data/llm/AnthropicStreamEventParser.h"

#include "data/llm/DeltaEventReader.h"
#include "foundation/DecodeError.h"
#include "foundation/Json.h"
#include "foundation/JsonReader.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vexel {

namespace {

using Event = AnthropicStreamEvent;

// The member when it is present and of the wanted kind, else nullptr.
const Json* objectMember(const Json& object, std::string_view key) {
    auto it = object.find(key);
    return it != object.end() && it->is_object() ? &*it : nullptr;
}

std::optional<std::string> stringMember(const Json& object, std::string_view key) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_string()) {
        return std::nullopt;
    }
    return it->get<std::string>();
}

// A number with an exact integer value that fits the index type.
std::optional<std::int64_t> integerMember(const Json& object, std::string_view key) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_number()) {
        return std::nullopt;
    }
    try {
        return json::asInt(*it, key);
    } catch (const DecodeError&) {
        return std::nullopt;
    }
}

Event messageStart(const Json& data) {
    std::int64_t tokens = 0;
    if (const Json* message = objectMember(data, "message")) {
        if (const Json* usage = objectMember(*message, "usage")) {
            tokens = integerMember(*usage, "input_tokens").value_or(0);
        }
    }
    return Event::MessageStart{tokens};
}

std::optional<Event> contentBlockStart(const Json& data) {
    auto index = integerMember(data, "index");
    const Json* block = objectMember(data, "content_block");
    if (!index || !block) {
        return std::nullopt;
    }
    auto type = stringMember(*block, "type");
    if (type == "text") {
        return Event::ContentBlockStart{*index, Event::ContentBlockType::text()};
    }
    if (type == "tool_use") {
        return Event::ContentBlockStart{
            *index, Event::ContentBlockType::toolUse(stringMember(*block, "id").value_or(""),
                                                     stringMember(*block, "name").value_or(""))};
    }
    return std::nullopt;
}

std::optional<Event> contentBlockDelta(const Json& data) {
    auto index = integerMember(data, "index");
    const Json* delta = objectMember(data, "delta");
    if (!index || !delta) {
        return std::nullopt;
    }
    auto type = stringMember(*delta, "type");
    if (type == "text_delta") {
        return Event::TextDelta{*index, stringMember(*delta, "text").value_or("")};
    }
    if (type == "input_json_delta") {
        return Event::InputJsonDelta{*index, stringMember(*delta, "partial_json").value_or("")};
    }
    return std::nullopt;
}

Event messageDelta(const Json& data) {
    std::optional<std::string> stopReason;
    if (const Json* delta = objectMember(data, "delta")) {
        stopReason = stringMember(*delta, "stop_reason");
    }
    std::int64_t tokens = 0;
    if (const Json* usage = objectMember(data, "usage")) {
        tokens = integerMember(*usage, "output_tokens").value_or(0);
    }
    return Event::MessageDelta{std::move(stopReason), tokens};
}

} // namespace

std::optional<AnthropicStreamEvent> AnthropicStreamEventParser::parse(const SSELine& line) {
    if (line.event == "content_block_delta") {
        if (auto delta = readDeltaQuickly(line.data)) {
            return delta;
        }
    }
    return parseFully(line);
}

std::optional<AnthropicStreamEvent> AnthropicStreamEventParser::parseFully(const SSELine& line) {
    const std::optional<Json> parsed = json::tryParse(line.data);
    if (!parsed || !parsed->is_object()) {
        return std::nullopt;
    }
    const Json& data = *parsed;
    const std::string& name = line.event;
    if (name == "message_start") {
        return messageStart(data);
    }
    if (name == "content_block_start") {
        return contentBlockStart(data);
    }
    if (name == "content_block_delta") {
        return contentBlockDelta(data);
    }
    if (name == "content_block_stop") {
        if (auto index = integerMember(data, "index")) {
            return Event::ContentBlockStop{*index};
        }
        return std::nullopt;
    }
    if (name == "message_delta") {
        return messageDelta(data);
    }
    if (name == "message_stop") {
        return Event::MessageStop{};
    }
    return std::nullopt;
}

} // namespace vexel
