#include "domain/usecases/AdjustVolumeUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project AdjustVolumeUseCase::applyTo(const Project& project, const Uuid& clipId, double volume,
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
    return project.replacingClip(builder.build());
}

Project AdjustVolumeUseCase::execute(const Uuid& clipId, double volume,
                                     const std::optional<TimeRange>& fadeRange) const {
    return applyAndSave(*projectRepository_, [&](const Project& project) {
        return applyTo(project, clipId, volume, fadeRange);
    });
}

bool AdjustVolumeUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::AdjustVolume>();
}

Project AdjustVolumeUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* adjust = command.getIf<EditCommand::AdjustVolume>();
    if (adjust == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(adjust->clipId, adjust->volume, adjust->fadeRange);
}

} // namespace vexel
