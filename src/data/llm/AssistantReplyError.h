#pragma once

#include <cstddef>
#include <exception>
#include <string>

namespace vexel {

// A streamed reply that cannot be used as it stands: it ended before the
// backend said it was complete or in the middle of a tool call, or it kept
// growing past what any real reply needs. Either way the whole instruction
// fails and nothing is applied.
class AssistantReplyError : public std::exception {
public:
    enum class Kind {
        // The stream ended before its "message_stop" event.
        cutOff,
        // The reply's text, or all its event data, passed its limit.
        replyTooLong,
        // One tool call's input passed the input limit.
        toolInputTooLong,
        // The tool calls of the instruction, over all its replies, passed
        // the limit of what one instruction may carry.
        toolInputsTooLong,
        // The reply ended while a tool call was still open (the model ran out
        // of output, say): the edit it was making is missing.
        toolCallCutOff,
    };

    static AssistantReplyError cutOff();
    static AssistantReplyError replyTooLong(std::size_t limit);
    static AssistantReplyError toolInputTooLong(std::size_t limit);
    static AssistantReplyError toolInputsTooLong(std::size_t limit);
    static AssistantReplyError toolCallCutOff();

    Kind kind() const { return kind_; }

    // The chat's sentence for the failure.
    std::string userMessage() const;
    const char* what() const noexcept override { return description_.c_str(); }

private:
    AssistantReplyError(Kind kind, std::string description);

    Kind kind_;
    std::string description_;
};

} // namespace vexel
