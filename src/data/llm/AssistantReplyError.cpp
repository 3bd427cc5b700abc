#include "data/llm/AssistantReplyError.h"

#include <utility>

namespace vexel {

AssistantReplyError::AssistantReplyError(Kind kind, std::string description)
    : kind_(kind)
    , description_(std::move(description)) {}

AssistantReplyError AssistantReplyError::cutOff() {
    return {Kind::cutOff, "the reply ended before its message_stop event"};
}

AssistantReplyError AssistantReplyError::replyTooLong(std::size_t limit) {
    return {Kind::replyTooLong, "the reply grew past " + std::to_string(limit) + " bytes"};
}

AssistantReplyError AssistantReplyError::toolInputTooLong(std::size_t limit) {
    return {Kind::toolInputTooLong, "a tool input grew past " + std::to_string(limit) + " bytes"};
}

AssistantReplyError AssistantReplyError::toolInputsTooLong(std::size_t limit) {
    return {Kind::toolInputsTooLong,
            "the instruction's tool calls grew past " + std::to_string(limit) + " bytes"};
}

AssistantReplyError AssistantReplyError::toolCallCutOff() {
    return {Kind::toolCallCutOff, "the reply ended inside a tool call"};
}

std::string AssistantReplyError::userMessage() const {
    switch (kind_) {
    case Kind::cutOff:
        return "The connection closed before the assistant finished its reply. No changes were "
               "made. Please try again.";
    case Kind::replyTooLong:
        return "The assistant's reply was too long, so it was stopped. No changes were made.";
    case Kind::toolInputTooLong:
        return "The assistant sent an edit too large to apply, so it was stopped. No changes "
               "were made.";
    case Kind::toolInputsTooLong:
        return "The assistant sent edits too large to apply, so they were stopped. No changes "
               "were made.";
    case Kind::toolCallCutOff:
        return "The assistant's reply ended before its last edit was complete. No changes were "
               "made. Please try again.";
    }
    return "The assistant's reply could not be used. No changes were made.";
}

} // namespace vexel
