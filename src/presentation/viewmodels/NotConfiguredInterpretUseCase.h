#pragma once

#include "data/llm/InterpretInstructionExecutable.h"

namespace vexel {

// Stands in for the assistant when no backend is configured: every call fails
// at once with AssistantNotConfiguredError and makes no request.
class NotConfiguredInterpretUseCase final : public InterpretInstructionExecutable {
public:
    LLMResponse execute(const std::string& instruction, const std::vector<ChatMessage>& history,
                        const std::optional<Uuid>& selectedClipId,
                        std::stop_token stop = {}) override;

    AsyncStream<LLMStreamEvent> streamExecute(const std::string& instruction,
                                              const std::vector<ChatMessage>& history,
                                              const std::optional<Uuid>& selectedClipId) override;
};

} // namespace vexel
