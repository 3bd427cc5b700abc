#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace vexel {

// One typed event of a streamed Messages-style reply.
class AnthropicStreamEvent {
public:
    // What a content block that starts is.
    class ContentBlockType {
    public:
        struct Text {
            friend bool operator==(const Text&, const Text&) = default;
        };
        struct ToolUse {
            std::string id;
            std::string name;
            friend bool operator==(const ToolUse&, const ToolUse&) = default;
        };

        static ContentBlockType text() { return ContentBlockType(Text{}); }
        static ContentBlockType toolUse(std::string id, std::string name) {
            return ContentBlockType(ToolUse{std::move(id), std::move(name)});
        }

        bool isText() const { return std::holds_alternative<Text>(value_); }
        const ToolUse* toolUseValue() const { return std::get_if<ToolUse>(&value_); }

        friend bool operator==(const ContentBlockType&, const ContentBlockType&) = default;

    private:
        explicit ContentBlockType(std::variant<ToolUse, Text> value)
            : value_(std::move(value)) {}

        std::variant<ToolUse, Text> value_;
    };

    struct MessageStart {
        std::int64_t inputTokens = 0;
        friend bool operator==(const MessageStart&, const MessageStart&) = default;
    };
    struct ContentBlockStart {
        std::int64_t index = 0;
        ContentBlockType type;
        friend bool operator==(const ContentBlockStart&, const ContentBlockStart&) = default;
    };
    struct TextDelta {
        std::int64_t index = 0;
        std::string text;
        friend bool operator==(const TextDelta&, const TextDelta&) = default;
    };
    struct InputJsonDelta {
        std::int64_t index = 0;
        std::string partialJson;
        friend bool operator==(const InputJsonDelta&, const InputJsonDelta&) = default;
    };
    struct ContentBlockStop {
        std::int64_t index = 0;
        friend bool operator==(const ContentBlockStop&, const ContentBlockStop&) = default;
    };
    struct MessageDelta {
        std::optional<std::string> stopReason;
        std::int64_t outputTokens = 0;
        friend bool operator==(const MessageDelta&, const MessageDelta&) = default;
    };
    struct MessageStop {
        friend bool operator==(const MessageStop&, const MessageStop&) = default;
    };

    // In case order.
    using Value = std::variant<MessageStart, ContentBlockStart, TextDelta, InputJsonDelta,
                               ContentBlockStop, MessageDelta, MessageStop>;

    // Any case converts to an event.
    template <typename Case>
    requires std::is_constructible_v<Value, Case&&> AnthropicStreamEvent(Case&& payload) // NOLINT
        : value_(std::forward<Case>(payload)) {}

    const Value& value() const { return value_; }
    template <typename Case> const Case* getIf() const { return std::get_if<Case>(&value_); }

    friend bool operator==(const AnthropicStreamEvent&, const AnthropicStreamEvent&) = default;

private:
    Value value_;
};

} // namespace vexel
