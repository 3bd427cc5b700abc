#include "domain/usecases/SpeedUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"
#include "domain/usecases/FadeRangeRule.h"

namespace vexel {

Project SpeedUseCase::applyTo(const Project& project, const Uuid& clipId, double rate) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::video, TrackType::audio});
    if (!(minRate <= rate && rate <= maxRate)) {
        throw EditError::invalidSpeed(rate);
    }
    const TimeRange newRange{clip.timeRange.startTime,
                             clip.timeRange.duration * (clip.rate / rate)};
    if (!(newRange.startTime + newRange.duration <= project.maxDuration)) {
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
    return project.replacingClip(applyingFadeRangeRule(builder.build().clampingTransitions()));
}

Project SpeedUseCase::execute(const Uuid& clipId, double rate) const {
    return applyAndSave(*projectRepository_,
                        [&](const Project& project) { return applyTo(project, clipId, rate); });
}

bool SpeedUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::Speed>();
}

Project SpeedUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* speed = command.getIf<EditCommand::Speed>();
    if (speed == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(speed->clipId, speed->rate);
}

} // namespace vexel
