#include "domain/usecases/TransitionUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

#include <cmath>

namespace vexel {

namespace {

void checkDuration(std::optional<double> duration) {
    if (duration && !(std::isfinite(*duration) && 0 <= *duration &&
                      *duration <= TransitionUseCase::maxDuration)) {
        throw EditError::invalidTransitionDuration(*duration);
    }
}

std::optional<TransitionEffect> newEnd(const std::optional<TransitionEffect>& stored,
                                       std::optional<double> duration,
                                       const std::optional<TransitionType>& type,
                                       std::optional<EasingCurve> easing) {
    if (!duration) {
        return stored;
    }
    if (*duration <= 0) {
        return std::nullopt;
    }
    return TransitionEffect{
        *duration,
        type.value_or(stored ? stored->type : TransitionType::fade()),
        easing.value_or(stored ? stored->easing : EasingCurve::linear),
    };
}

double durationOrZero(const std::optional<TransitionEffect>& transition) {
    return transition ? transition->duration : 0;
}

} // namespace

bool TransitionUseCase::isGeometric(const TransitionType& type) {
    using Kind = TransitionType::Kind;
    switch (type.kind()) {
    case Kind::push:
    case Kind::wipe:
    case Kind::slide:
    case Kind::spin:
    case Kind::flip:
    case Kind::zoomIn:
    case Kind::zoomOut:
        return true;
    case Kind::fade:
    case Kind::crossDissolve:
        return false;
    }
    return false;
}

Project TransitionUseCase::applyTo(Project project, const Uuid& clipId,
                                   std::optional<double> fadeInDuration,
                                   std::optional<double> fadeOutDuration,
                                   const std::optional<TransitionType>& type,
                                   std::optional<EasingCurve> easing) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::video, TrackType::image, TrackType::text});
    if (type && isGeometric(*type) && clip.trackType != TrackType::video) {
        throw EditError::geometricTransitionNotSupported();
    }
    checkDuration(fadeInDuration);
    checkDuration(fadeOutDuration);

    ClipBuilder builder(clip);
    builder.transitionIn = newEnd(clip.transitionIn, fadeInDuration, type, easing);
    builder.transitionOut = newEnd(clip.transitionOut, fadeOutDuration, type, easing);
    const double total =
        durationOrZero(builder.transitionIn) + durationOrZero(builder.transitionOut);
    if (!(total <= clip.timeRange.duration)) {
        throw EditError::transitionExceedsClipDuration(total, clip.timeRange.duration);
    }
    return std::move(project).replacingClip(builder.build());
}

Project TransitionUseCase::applyCase(const EditCommand::Transition& transition,
                                     Project project) const {
    return applyTo(std::move(project), transition.clipId, transition.fadeInDuration,
                   transition.fadeOutDuration, transition.type, transition.easing);
}

} // namespace vexel
