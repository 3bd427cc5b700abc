#include "presentation/viewmodels/NotConfiguredInterpretUseCase.h"

#include "presentation/viewmodels/AssistantNotConfiguredError.h"

namespace vexel {

LLMResponse NotConfiguredInterpretUseCase::execute(const std::string&,
                                                   const std::vector<ChatMessage>&,
                                                   const std::optional<Uuid>&, std::stop_token) {
    throw AssistantNotConfiguredError();
}

AsyncStream<LLMStreamEvent>
NotConfiguredInterpretUseCase::streamExecute(const std::string&, const std::vector<ChatMessage>&,
                                             const std::optional<Uuid>&) {
    // Thrown before any stream exists, so no thread is started for nothing.
    throw AssistantNotConfiguredError();
}

} // namespace vexel
