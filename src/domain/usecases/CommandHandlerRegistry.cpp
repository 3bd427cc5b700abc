#include "domain/usecases/CommandHandlerRegistry.h"

namespace vexel {

const CommandHandler* CommandHandlerRegistry::handler(const EditCommand& command) const {
    for (const auto& candidate : handlers) {
        if (candidate && candidate->canHandle(command)) {
            return candidate.get();
        }
    }
    return nullptr;
}

} // namespace vexel
