#pragma once

#include "data/llm/InterpretInstructionExecutable.h"
#include "domain/entities/ChatMessage.h"
#include "domain/entities/LLMResponse.h"
#include "domain/entities/LLMStreamEvent.h"
#include "foundation/AsyncChannel.h"
#include "foundation/Uuid.h"

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace vexel {

// The interpret use case as the instruction view model calls it: one closure
// for the streamed form (with the tool-use loop inside) and one for the whole
// response at once.
struct WrappedInterpretUseCase {
    using StreamExecute = std::function<AsyncStream<LLMStreamEvent>(
        const std::string&, const std::vector<ChatMessage>&, const std::optional<Uuid>&)>;
    using Execute = std::function<LLMResponse(const std::string&, const std::vector<ChatMessage>&,
                                              const std::optional<Uuid>&, std::stop_token)>;

    StreamExecute streamExecute;
    Execute execute;

    // Both closures call the use case's own operations.
    static WrappedInterpretUseCase
    wrapping(std::shared_ptr<InterpretInstructionExecutable> useCase) {
        return {[useCase](const std::string& instruction, const std::vector<ChatMessage>& history,
                          const std::optional<Uuid>& selectedClipId) {
                    return useCase->streamExecute(instruction, history, selectedClipId);
                },
                [useCase](const std::string& instruction, const std::vector<ChatMessage>& history,
                          const std::optional<Uuid>& selectedClipId, std::stop_token stop) {
                    return useCase->execute(instruction, history, selectedClipId, std::move(stop));
                }};
    }
};

} // namespace vexel
