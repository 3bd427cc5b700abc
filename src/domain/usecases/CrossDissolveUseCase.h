#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Joins a video or image clip to the clip that follows it on its track with a
// matching outgoing and incoming linear cross-dissolve, or removes such a join.
class CrossDissolveUseCase : public CommandHandler {
public:
    explicit CrossDissolveUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // A duration of exactly 0 removes the join: the clip's outgoing transition,
    // whatever it is, and the next clip's incoming cross-dissolve. Otherwise the
    // duration is at most 5 s and at most half the shorter of the two clips, and
    // each clip must still hold its other transition beside the dissolve; the
    // dissolve replaces whatever transition was at the joined ends.
    Project applyTo(const Project& project, const Uuid& clipId, double duration) const;
    Project execute(const Uuid& clipId, double duration) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
