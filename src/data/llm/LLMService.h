#pragma once

#include "domain/entities/ChatMessage.h"
#include "domain/entities/LLMResponse.h"
#include "domain/entities/LLMStreamEvent.h"
#include "domain/entities/Project.h"
#include "foundation/AsyncChannel.h"
#include "foundation/Uuid.h"

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace vexel {

// Turns one typed instruction, the chat history and a snapshot of the project
// into the edit commands the instruction asks for. Nothing is applied here.
class LLMService {
public:
    virtual ~LLMService() = default;

    // Blocks until the whole tool-use conversation is over. A stop request ends
    // it with CancellationError; transport and reply-parsing failures propagate.
    virtual LLMResponse interpret(const std::string& instruction, const Project& context,
                                  const std::vector<ChatMessage>& history,
                                  const std::optional<Uuid>& selectedClipId,
                                  std::stop_token stop = {}) = 0;

    // Returns at once. The stream reports text and progress while replies come
    // in and ends with `completed`, or with the failure; letting go of the
    // stream stops the conversation.
    virtual AsyncStream<LLMStreamEvent>
    streamInterpret(const std::string& instruction, const Project& context,
                    const std::vector<ChatMessage>& history,
                    const std::optional<Uuid>& selectedClipId) = 0;
};

} // namespace vexel
