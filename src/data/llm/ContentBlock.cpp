#include "data/llm/ContentBlock.h"

#include "data/llm/ContentBlockParseError.h"
#include "foundation/JsonReader.h"

#include <algorithm>

namespace vexel {

namespace {

// The member when present and a string; nullptr otherwise.
const Json* stringMember(const Json& object, std::string_view key) {
    auto it = object.find(key);
    return it != object.end() && it->is_string() ? &*it : nullptr;
}

// A reply is an object or an array at the top: a bare value such as 42 is no
// reply text at all, so it fails as malformed rather than as missing content.
Json parseReply(std::string_view body) {
    Json reply = json::parse(body);
    if (!reply.is_object() && !reply.is_array()) {
        throw DecodeError::dataCorrupted("", "The given data was not valid JSON.");
    }
    return reply;
}

} // namespace

ContentBlock ContentBlock::text(std::string text) {
    return ContentBlock(
        std::variant<std::string, ToolCall>(std::in_place_index<0>, std::move(text)));
}

ContentBlock ContentBlock::toolUse(ToolCall call) {
    return ContentBlock(
        std::variant<std::string, ToolCall>(std::in_place_index<1>, std::move(call)));
}

std::vector<ContentBlock> ContentBlock::parse(std::string_view body) {
    return parseBlocks(parseReply(body));
}

ContentBlock::ParsedReply ContentBlock::parseWithStopReason(std::string_view body) {
    Json reply = parseReply(body);
    std::optional<std::string> stopReason;
    if (reply.is_object()) {
        if (const Json* reason = stringMember(reply, "stop_reason")) {
            stopReason = reason->get<std::string>();
        }
    }
    return ParsedReply{parseBlocks(reply), std::move(stopReason)};
}

std::vector<ContentBlock> ContentBlock::parseBlocks(const Json& reply) {
    if (!reply.is_object()) {
        throw ContentBlockParseError::missingContent();
    }
    auto content = reply.find("content");
    if (content == reply.end() || !content->is_array() ||
        !std::all_of(content->begin(), content->end(),
                     [](const Json& element) { return element.is_object(); })) {
        throw ContentBlockParseError::missingContent();
    }
    if (content->empty()) {
        throw ContentBlockParseError::emptyContent();
    }

    std::vector<ContentBlock> blocks;
    for (const Json& element : *content) {
        const Json* type = stringMember(element, "type");
        if (type == nullptr) {
            continue;
        }
        const auto& typeName = type->get_ref<const std::string&>();
        if (typeName == "text") {
            if (const Json* text = stringMember(element, "text")) {
                blocks.push_back(ContentBlock::text(text->get<std::string>()));
            }
        } else if (typeName == "tool_use") {
            if (auto call = parseToolUse(element)) {
                blocks.push_back(ContentBlock::toolUse(std::move(*call)));
            }
        }
    }
    return blocks;
}

std::optional<ToolCall> ContentBlock::parseToolUse(const Json& block) {
    const Json* id = stringMember(block, "id");
    const Json* name = stringMember(block, "name");
    auto input = block.find("input");
    if (id == nullptr || name == nullptr || input == block.end() || !input->is_object()) {
        return std::nullopt;
    }
    return ToolCall{id->get<std::string>(), name->get<std::string>(),
                    *JSONObjectText::fromParsed(*input)};
}

std::string ContentBlock::extractMessage(const std::vector<ContentBlock>& blocks) {
    std::string message;
    bool first = true;
    for (const ContentBlock& block : blocks) {
        if (const std::string* text = block.textValue()) {
            if (!first) {
                message += ' ';
            }
            message += *text;
            first = false;
        }
    }
    return message;
}

std::vector<ToolCall> ContentBlock::extractToolCalls(const std::vector<ContentBlock>& blocks) {
    std::vector<ToolCall> calls;
    for (const ContentBlock& block : blocks) {
        if (const ToolCall* call = block.toolCallValue()) {
            calls.push_back(*call);
        }
    }
    return calls;
}

} // namespace vexel
