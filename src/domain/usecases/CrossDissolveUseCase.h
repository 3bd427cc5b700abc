#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Joins a video or image clip to the clip that follows it on its track with a
// matching outgoing and incoming linear cross-dissolve, or removes such a join.
class CrossDissolveUseCase : public SingleCaseHandler<EditCommand::CrossDissolve> {
public:
    // A duration of exactly 0 removes the join: the clip's outgoing transition,
    // whatever it is, and the next clip's incoming cross-dissolve. Otherwise the
    // duration is at most 5 s and at most half the shorter of the two clips, and
    // each clip must still hold its other transition beside the dissolve; the
    // dissolve replaces whatever transition was at the joined ends.
    Project applyTo(Project project, const Uuid& clipId, double duration) const;

private:
    Project applyCase(const EditCommand::CrossDissolve& command, Project project) const override;
};

} // namespace vexel
