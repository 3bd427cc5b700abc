#pragma once

#include "domain/entities/ChatMessage.h"
#include "domain/entities/EditCommand.h"

#include <string>
#include <vector>

namespace vexel {

// The outcome of one instruction: what to apply, and what the assistant said.
struct LLMResponse {
    // Every command of every tool iteration, in the order the tool calls came;
    // at most 50.
    std::vector<EditCommand> commands;
    // The text of the last reply, its text blocks joined with one space.
    std::string message;
    // Two turns per completed tool iteration: the assistant's (text and tool
    // uses) and the user turn of tool results.
    std::vector<ChatMessage> intermediateMessages;

    friend bool operator==(const LLMResponse&, const LLMResponse&) = default;
};

} // namespace vexel
