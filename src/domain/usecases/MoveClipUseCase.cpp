#include "domain/usecases/MoveClipUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project MoveClipUseCase::applyTo(Project project, const Uuid& clipId, double to,
                                 const std::optional<Uuid>& toTrackId, bool validateOverlap) const {
    const Clip* clip = project.findClip(clipId);
    if (clip == nullptr) {
        throw EditError::clipNotFound(clipId);
    }
    ClipBuilder builder(*clip);
    builder.timeRange = TimeRange{to, clip->timeRange.duration};
    const Clip moved = builder.build();
    if (!endsWithinProject(project, to, moved.timeRange.duration)) {
        throw EditError::exceedsMaxDuration();
    }
    const Track* holding = project.findTrackContainingClip(clipId);
    if (holding == nullptr) {
        throw EditError::clipNotFound(clipId);
    }

    const auto moveInPlace = [&](const Track& track) {
        if (validateOverlap && track.hasOverlap(moved.timeRange, clipId)) {
            throw EditError::clipOverlap();
        }
        return std::move(project).replacingClip(moved);
    };
    if (!toTrackId) {
        return moveInPlace(*holding);
    }
    const Track* target = nullptr;
    for (const auto& track : project.tracks) {
        if (track.id == *toTrackId) {
            target = &track;
            break;
        }
    }
    if (target == nullptr) {
        throw EditError::trackNotFound(*toTrackId);
    }
    if (target->type != clip->trackType) {
        throw EditError::trackTypeMismatch();
    }
    if (target->id == holding->id) {
        return moveInPlace(*holding);
    }
    if (validateOverlap && target->hasOverlap(moved.timeRange)) {
        throw EditError::clipOverlap();
    }
    return std::move(project).movingClipToTrack(clipId, *toTrackId, to);
}

Project MoveClipUseCase::applyCase(const EditCommand::Move& move, Project project) const {
    return applyTo(std::move(project), move.clipId, move.to, move.toTrackId, true);
}

} // namespace vexel
