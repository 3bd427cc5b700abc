#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Sets a clip's in-point in the media and its length on the timeline; its start
// stays. Makes no overlap test: inside a batch the end check catches a trim into
// a neighbour.
class TrimClipUseCase : public SingleCaseHandler<EditCommand::Trim> {
public:
    Project applyTo(Project project, const Uuid& clipId, double sourceStart, double duration) const;

private:
    Project applyCase(const EditCommand::Trim& command, Project project) const override;
};

} // namespace vexel
