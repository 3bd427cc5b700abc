#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Toggles backwards playback of a video or audio clip: each call flips it.
class ReverseUseCase : public SingleCaseHandler<EditCommand::Reverse> {
public:
    Project applyTo(Project project, const Uuid& clipId) const;

private:
    Project applyCase(const EditCommand::Reverse& command, Project project) const override;
};

} // namespace vexel
