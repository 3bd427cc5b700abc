#pragma once

#include "domain/entities/ChatMessage.h"
#include "domain/entities/EditCommand.h"
#include "domain/entities/LLMResponse.h"

#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace vexel {

// What the streamed interpretation of one instruction reports while it runs.
// A stream that does not fail ends with exactly one `Completed`.
class LLMStreamEvent {
public:
    // A piece of assistant text arrived.
    struct TextDelta {
        std::string text;
        friend bool operator==(const TextDelta&, const TextDelta&) = default;
    };
    // A tool-use block began in the reply.
    struct ToolUseStarted {
        std::string name;
        friend bool operator==(const ToolUseStarted&, const ToolUseStarted&) = default;
    };
    // A tool iteration ended and the loop goes on: that iteration's commands
    // (informational; the final response carries them all) and its two turns.
    struct IterationCompleted {
        std::vector<EditCommand> commands;
        std::vector<ChatMessage> intermediateMessages;
        friend bool operator==(const IterationCompleted&, const IterationCompleted&) = default;
    };
    // The instruction is finished.
    struct Completed {
        LLMResponse response;
        friend bool operator==(const Completed&, const Completed&) = default;
    };

    enum class Kind { textDelta, toolUseStarted, iterationCompleted, completed };

    // In kind order.
    using Value = std::variant<TextDelta, ToolUseStarted, IterationCompleted, Completed>;

    // Any case converts to an event.
    template <typename Case>
    requires std::is_constructible_v<Value, Case&&> LLMStreamEvent(Case&& payload) // NOLINT
        : value_(std::forward<Case>(payload)) {}

    static LLMStreamEvent textDelta(std::string text) { return TextDelta{std::move(text)}; }
    static LLMStreamEvent toolUseStarted(std::string name) {
        return ToolUseStarted{std::move(name)};
    }
    static LLMStreamEvent iterationCompleted(std::vector<EditCommand> commands,
                                             std::vector<ChatMessage> intermediateMessages) {
        return IterationCompleted{std::move(commands), std::move(intermediateMessages)};
    }
    static LLMStreamEvent completed(LLMResponse response) { return Completed{std::move(response)}; }

    Kind kind() const { return static_cast<Kind>(value_.index()); }
    const Value& value() const { return value_; }

    // The payload when the event is of that case, else null.
    template <typename Case> const Case* getIf() const { return std::get_if<Case>(&value_); }

    friend bool operator==(const LLMStreamEvent&, const LLMStreamEvent&) = default;

private:
    Value value_;
};

} // namespace vexel
