#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Changes the playback speed of a video or audio clip. The clip keeps its
// start and source span, so its length on the timeline scales by old/new rate.
class SpeedUseCase : public SingleCaseHandler<EditCommand::Speed> {
public:
    static constexpr double minRate = 0.25;
    static constexpr double maxRate = 4.0;

    // The new length must end within the project and overlap no other clip of
    // the track. Transitions that no longer fit together are dropped, and so is
    // a fade range that no longer ends inside the clip.
    Project applyTo(Project project, const Uuid& clipId, double rate) const;

private:
    Project applyCase(const EditCommand::Speed& command, Project project) const override;
};

} // namespace vexel
