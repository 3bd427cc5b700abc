#include "domain/usecases/CrossDissolveUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"
#include "domain/usecases/TransitionUseCase.h"

#include <algorithm>
#include <cmath>

namespace vexel {

namespace {

double durationOrZero(const std::optional<TransitionEffect>& transition) {
    return transition ? transition->duration : 0;
}

std::optional<Clip> nextClipOnTrack(const Project& project, const Uuid& clipId) {
    const Track* track = project.findTrackContainingClip(clipId);
    return track == nullptr ? std::nullopt : track->nextClip(clipId);
}

Project removingCrossDissolve(Project project, const Clip& clipA) {
    ClipBuilder a(clipA);
    a.transitionOut = std::nullopt;
    const std::optional<Clip> clipB = nextClipOnTrack(project, clipA.id);
    project = std::move(project).replacingClip(a.build());
    if (clipB && clipB->transitionIn &&
        clipB->transitionIn->type.kind() == TransitionType::Kind::crossDissolve) {
        ClipBuilder b(*clipB);
        b.transitionIn = std::nullopt;
        project = std::move(project).replacingClip(b.build());
    }
    return project;
}

} // namespace

Project CrossDissolveUseCase::applyTo(Project project, const Uuid& clipId, double duration) const {
    const Clip& clipA = requireClip(project, clipId);
    requireTrackType(clipA, {TrackType::video, TrackType::image});
    if (duration == 0) {
        const Clip joined = clipA; // the project is given away below
        return removingCrossDissolve(std::move(project), joined);
    }
    if (!(std::isfinite(duration) && duration >= 0 && duration <= TransitionUseCase::maxDuration)) {
        throw EditError::invalidTransitionDuration(duration);
    }
    const std::optional<Clip> clipB = nextClipOnTrack(project, clipId);
    if (!clipB) {
        throw EditError::noAdjacentClip(clipId);
    }
    const double durationA = clipA.timeRange.duration;
    const double durationB = clipB->timeRange.duration;
    if (!(duration <= 0.5 * std::min(durationA, durationB))) {
        throw EditError::invalidTransitionDuration(duration);
    }
    const double totalA = duration + durationOrZero(clipA.transitionIn);
    if (!(totalA <= durationA)) {
        throw EditError::transitionExceedsClipDuration(totalA, durationA);
    }
    const double totalB = duration + durationOrZero(clipB->transitionOut);
    if (!(totalB <= durationB)) {
        throw EditError::transitionExceedsClipDuration(totalB, durationB);
    }

    const TransitionEffect dissolve{duration, TransitionType::crossDissolve(), EasingCurve::linear};
    ClipBuilder a(clipA);
    a.transitionOut = dissolve;
    ClipBuilder b(*clipB);
    b.transitionIn = dissolve;
    return std::move(project).replacingClip(a.build()).replacingClip(b.build());
}

Project CrossDissolveUseCase::applyCase(const EditCommand::CrossDissolve& dissolve,
                                        Project project) const {
    return applyTo(std::move(project), dissolve.clipId, dissolve.duration);
}

} // namespace vexel
