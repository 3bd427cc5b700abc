#include "domain/usecases/AdjustVolumeUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project AdjustVolumeUseCase::applyTo(Project project, const Uuid& clipId, double volume,
                                     const std::optional<TimeRange>& fadeRange) const {
    const Clip& clip = requireClip(project, clipId);
    if (!(0 <= volume && volume <= 1)) {
        throw EditError::invalidVolume(volume);
    }
    ClipBuilder builder(clip);
    builder.volume = volume;
    builder.fadeRange = std::nullopt;
    if (fadeRange) {
        const double relativeStart = fadeRange->startTime - clip.timeRange.startTime;
        // A negative duration would ramp the level over a backwards span.
        if (!(relativeStart >= 0 && fadeRange->duration >= 0 &&
              relativeStart + fadeRange->duration <= clip.timeRange.duration)) {
            throw EditError::invalidFadeRange();
        }
        builder.fadeRange = TimeRange{relativeStart, fadeRange->duration};
    }
    return std::move(project).replacingClip(builder.build());
}

Project AdjustVolumeUseCase::applyCase(const EditCommand::AdjustVolume& adjust,
                                       Project project) const {
    return applyTo(std::move(project), adjust.clipId, adjust.volume, adjust.fadeRange);
}

} // namespace vexel
