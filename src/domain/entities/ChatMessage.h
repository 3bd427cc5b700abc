#pragma once

#include "domain/entities/JSONObjectText.h"
#include "foundation/RawValueTable.h"
#include "foundation/Uuid.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vexel {

// One turn of the chat transcript, including the tool-use and tool-result turns
// of the assistant loop.
struct ChatMessage {
    enum class Role { user, assistant };

    // Plain text of the turn.
    struct Text {
        std::string text;
        friend bool operator==(const Text&, const Text&) = default;
    };

    // One tool call the assistant made: the backend's tool-use id, the tool
    // name and its input.
    struct ToolUse {
        std::string id;
        std::string name;
        JSONObjectText input;
        friend bool operator==(const ToolUse&, const ToolUse&) = default;
    };

    // The answer to one tool call, sent back inside a user turn.
    struct ToolResult {
        std::string toolUseId;
        std::string content;
        bool isError = false;
        friend bool operator==(const ToolResult&, const ToolResult&) = default;
    };

    using ContentPart = std::variant<Text, ToolUse, ToolResult>;
    using Timestamp = std::chrono::system_clock::time_point;

    Uuid id;
    Role role = Role::user;
    std::vector<ContentPart> contentParts;
    Timestamp timestamp;

    // A new message: a fresh random id and the current time.
    static ChatMessage make(Role role, std::vector<ContentPart> contentParts);

    // The text parts joined with one space; "" when there are none.
    std::string content() const;

    // Whether any part is a tool use or a tool result.
    bool hasToolParts() const;

    friend bool operator==(const ChatMessage&, const ChatMessage&) = default;
};

inline constexpr RawValueTable<ChatMessage::Role, 2> chatRoleRawValues{
    "Role", {{{ChatMessage::Role::user, "user"}, {ChatMessage::Role::assistant, "assistant"}}}};

// "user" or "assistant".
std::string_view rawValue(ChatMessage::Role role);
// Any other string (including "system") is absent.
std::optional<ChatMessage::Role> chatRoleFromRaw(std::string_view raw);

} // namespace vexel
