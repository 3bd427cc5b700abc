#include "domain/entities/ChatMessage.h"

namespace vexel {

ChatMessage ChatMessage::make(Role role, std::vector<ContentPart> contentParts) {
    return ChatMessage{Uuid::random(), role, std::move(contentParts),
                       std::chrono::system_clock::now()};
}

std::string ChatMessage::content() const {
    std::string joined;
    bool first = true;
    for (const ContentPart& part : contentParts) {
        if (const Text* text = std::get_if<Text>(&part)) {
            if (!first) {
                joined += ' ';
            }
            joined += text->text;
            first = false;
        }
    }
    return joined;
}

bool ChatMessage::hasToolParts() const {
    for (const ContentPart& part : contentParts) {
        if (!std::holds_alternative<Text>(part)) {
            return true;
        }
    }
    return false;
}

std::string_view rawValue(ChatMessage::Role role) {
    return chatRoleRawValues.raw(role);
}

std::optional<ChatMessage::Role> chatRoleFromRaw(std::string_view raw) {
    return chatRoleRawValues.fromRaw(raw);
}

} // namespace vexel
