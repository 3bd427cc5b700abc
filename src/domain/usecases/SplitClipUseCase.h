#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Cuts a clip in two at a timeline time strictly inside it. Both halves get new
// ids and generated names and take the split clip's place in its track.
class SplitClipUseCase : public SingleCaseHandler<EditCommand::Split> {
public:
    Project applyTo(Project project, const Uuid& clipId, double at) const;

private:
    Project applyCase(const EditCommand::Split& command, Project project) const override;
};

} // namespace vexel
