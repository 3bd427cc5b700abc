#include "domain/usecases/RemoveClipUseCase.h"

#include "domain/entities/EditError.h"

namespace vexel {

Project RemoveClipUseCase::applyTo(const Project& project, const Uuid& clipId) const {
    if (project.findClip(clipId) == nullptr) {
        throw EditError::clipNotFound(clipId);
    }
    return project.removingClip(clipId);
}

Project RemoveClipUseCase::execute(const Uuid& clipId) const {
    Project result = applyTo(projectRepository_->load(), clipId);
    projectRepository_->save(result);
    return result;
}

bool RemoveClipUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::RemoveClip>();
}

Project RemoveClipUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* remove = command.getIf<EditCommand::RemoveClip>();
    if (remove == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(remove->clipId);
}

} // namespace vexel
