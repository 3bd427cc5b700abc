#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Changes the playback speed of a video or audio clip. The clip keeps its
// start and source span, so its length on the timeline scales by old/new rate.
class SpeedUseCase : public CommandHandler {
public:
    static constexpr double minRate = 0.25;
    static constexpr double maxRate = 4.0;

    explicit SpeedUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // The new length must end within the project and overlap no other clip of
    // the track. Transitions that no longer fit together are dropped, and so is
    // a fade range that no longer ends inside the clip.
    Project applyTo(const Project& project, const Uuid& clipId, double rate) const;
    Project execute(const Uuid& clipId, double rate) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
