#pragma once

#include "data/llm/InterpretInstructionExecutable.h"
#include "data/llm/LLMService.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Binds the assistant to a snapshot of the repository's project taken at the
// call: edits made while the assistant works are not seen by it.
class InterpretInstructionUseCase final : public InterpretInstructionExecutable {
public:
    InterpretInstructionUseCase(std::shared_ptr<LLMService> llmService,
                                std::shared_ptr<const ProjectRepository> projectRepository);

    LLMResponse execute(const std::string& instruction, const std::vector<ChatMessage>& history,
                        const std::optional<Uuid>& selectedClipId,
                        std::stop_token stop = {}) override;

    AsyncStream<LLMStreamEvent> streamExecute(const std::string& instruction,
                                              const std::vector<ChatMessage>& history,
                                              const std::optional<Uuid>& selectedClipId) override;

private:
    std::shared_ptr<LLMService> llmService_;
    std::shared_ptr<const ProjectRepository> projectRepository_;
};

} // namespace vexel
