#pragma once

#include "domain/entities/ChatMessage.h"
#include "domain/entities/LLMResponse.h"
#include "domain/entities/LLMStreamEvent.h"
#include "foundation/AsyncChannel.h"
#include "foundation/Uuid.h"

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace vexel {

// Interprets one instruction against the project that is current when called.
class InterpretInstructionExecutable {
public:
    virtual ~InterpretInstructionExecutable() = default;

    // Blocks until the response is complete; a stop request cancels it.
    virtual LLMResponse execute(const std::string& instruction,
                                const std::vector<ChatMessage>& history,
                                const std::optional<Uuid>& selectedClipId,
                                std::stop_token stop = {}) = 0;

    // Returns the event stream at once; letting go of it stops the work.
    virtual AsyncStream<LLMStreamEvent>
    streamExecute(const std::string& instruction, const std::vector<ChatMessage>& history,
                  const std::optional<Uuid>& selectedClipId) = 0;
};

} // namespace vexel
