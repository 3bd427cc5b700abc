#pragma once

#include "domain/entities/ChatMessage.h"
#include "foundation/Json.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace vexel {

// Turns the state of one instruction into what the backend receives: the fixed
// system prompt and the request's message objects. Stateless; every operation
// is a pure function of its arguments.
class PromptBuilder {
public:
    // How many of the latest chat messages a request carries at most.
    static constexpr std::size_t maxHistoryMessages = 20;

    // The instructions sent unchanged with every request (UTF-8, no final line feed).
    static std::string_view systemPrompt();

    // The part of the history a request carries: at most the last 20 messages,
    // without trailing plain user turns (the request's own user message comes
    // last) and beginning with a plain user turn, so that no assistant turn or
    // tool turn cut off from its partner opens the conversation.
    static std::vector<ChatMessage> trimHistory(const std::vector<ChatMessage>& history);

    // The trimmed history as a JSON array of message objects, in order; the
    // request's own user message follows them.
    static Json buildHistoryMessages(const std::vector<ChatMessage>& history);

    // {"role", "content"}: content is the joined text when the message has only
    // text parts, else the array of all its parts as typed part objects.
    static Json serializeMessage(const ChatMessage& message);
};

} // namespace vexel
