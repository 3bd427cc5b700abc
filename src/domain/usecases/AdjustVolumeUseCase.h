#pragma once

#include "domain/entities/Project.h"
#include "domain/entities/TimeRange.h"
#include "domain/usecases/SingleCaseHandler.h"

#include <optional>

namespace vexel {

// Sets a clip's volume and the span over which its level ramps from full to it.
class AdjustVolumeUseCase : public SingleCaseHandler<EditCommand::AdjustVolume> {
public:
    // Any kind of clip; volume in [0, 1]. The fade range comes in timeline
    // seconds and must lie inside the clip with a duration of at least 0; it is
    // stored relative to the clip's start. No fade range removes a stored one.
    Project applyTo(Project project, const Uuid& clipId, double volume,
                    const std::optional<TimeRange>& fadeRange) const;

private:
    Project applyCase(const EditCommand::AdjustVolume& command, Project project) const override;
};

} // namespace vexel
