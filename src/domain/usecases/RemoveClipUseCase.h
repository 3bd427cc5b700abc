#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Removes a clip; a non-default track left without clips goes with it.
class RemoveClipUseCase : public SingleCaseHandler<EditCommand::RemoveClip> {
public:
    Project applyTo(Project project, const Uuid& clipId) const;

private:
    Project applyCase(const EditCommand::RemoveClip& command, Project project) const override;
};

} // namespace vexel
