#include "data/llm/InterpretInstructionUseCase.h"

#include "domain/entities/Project.h"

namespace vexel {

InterpretInstructionUseCase::InterpretInstructionUseCase(
    std::shared_ptr<LLMService> llmService,
    std::shared_ptr<const ProjectRepository> projectRepository)
    : llmService_(std::move(llmService))
    , projectRepository_(std::move(projectRepository)) {}

LLMResponse InterpretInstructionUseCase::execute(const std::string& instruction,
                                                 const std::vector<ChatMessage>& history,
                                                 const std::optional<Uuid>& selectedClipId,
                                                 std::stop_token stop) {
    const Project snapshot = projectRepository_->load();
    return llmService_->interpret(instruction, snapshot, history, selectedClipId, std::move(stop));
}

AsyncStream<LLMStreamEvent>
InterpretInstructionUseCase::streamExecute(const std::string& instruction,
                                           const std::vector<ChatMessage>& history,
                                           const std::optional<Uuid>& selectedClipId) {
    const Project snapshot = projectRepository_->load();
    return llmService_->streamInterpret(instruction, snapshot, history, selectedClipId);
}

} // namespace vexel
