#include "domain/usecases/RemoveClipUseCase.h"

#include "domain/entities/EditError.h"

namespace vexel {

Project RemoveClipUseCase::applyTo(Project project, const Uuid& clipId) const {
    if (project.findClip(clipId) == nullptr) {
        throw EditError::clipNotFound(clipId);
    }
    return std::move(project).removingClip(clipId);
}

Project RemoveClipUseCase::applyCase(const EditCommand::RemoveClip& remove, Project project) const {
    return applyTo(std::move(project), remove.clipId);
}

} // namespace vexel
