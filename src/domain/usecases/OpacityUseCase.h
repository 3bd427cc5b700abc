#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Sets the opacity of a video or image clip, 0 to 1.
class OpacityUseCase : public SingleCaseHandler<EditCommand::Opacity> {
public:
    Project applyTo(Project project, const Uuid& clipId, double opacity) const;

private:
    Project applyCase(const EditCommand::Opacity& command, Project project) const override;
};

} // namespace vexel
