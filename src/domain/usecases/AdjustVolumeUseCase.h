#pragma once

#include "domain/entities/Project.h"
#include "domain/entities/TimeRange.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>
#include <optional>

namespace vexel {

// Sets a clip's volume and the span over which its level ramps from full to it.
class AdjustVolumeUseCase : public CommandHandler {
public:
    explicit AdjustVolumeUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // Any kind of clip; volume in [0, 1]. The fade range comes in timeline
    // seconds and must lie inside the clip with a duration of at least 0; it is
    // stored relative to the clip's start. No fade range removes a stored one.
    Project applyTo(const Project& project, const Uuid& clipId, double volume,
                    const std::optional<TimeRange>& fadeRange) const;
    Project execute(const Uuid& clipId, double volume,
                    const std::optional<TimeRange>& fadeRange) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
