#include "domain/usecases/SpeedUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"
#include "domain/usecases/FadeRangeRule.h"

namespace vexel {

Project SpeedUseCase::applyTo(Project project, const Uuid& clipId, double rate) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::video, TrackType::audio});
    if (!(minRate <= rate && rate <= maxRate)) {
        throw EditError::invalidSpeed(rate);
    }
    const TimeRange newRange{clip.timeRange.startTime,
                             clip.timeRange.duration * (clip.rate / rate)};
    if (!endsWithinProject(project, newRange.startTime, newRange.duration)) {
        throw EditError::exceedsMaxDuration();
    }
    const Track* track = project.findTrackContainingClip(clipId);
    if (track == nullptr) {
        throw EditError::clipNotFound(clipId);
    }
    if (track->hasOverlap(newRange, clipId)) {
        throw EditError::clipOverlap();
    }
    ClipBuilder builder(clip);
    builder.timeRange = newRange;
    builder.rate = rate;
    return std::move(project).replacingClip(
        applyingFadeRangeRule(builder.build().clampingTransitions()));
}

Project SpeedUseCase::applyCase(const EditCommand::Speed& speed, Project project) const {
    return applyTo(std::move(project), speed.clipId, speed.rate);
}

} // namespace vexel
