#include "domain/usecases/MoveClipUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"

namespace vexel {

Project MoveClipUseCase::applyTo(const Project& project, const Uuid& clipId, double to,
                                 const std::optional<Uuid>& toTrackId, bool validateOverlap) const {
    const Clip* clip = project.findClip(clipId);
    if (clip == nullptr) {
        throw EditError::clipNotFound(clipId);
    }
    ClipBuilder builder(*clip);
    builder.timeRange = TimeRange{to, clip->timeRange.duration};
    const Clip moved = builder.build();
    if (!(to + moved.timeRange.duration <= project.maxDuration)) {
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
        return project.replacingClip(moved);
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
    return project.movingClipToTrack(clipId, *toTrackId, to);
}

Project MoveClipUseCase::execute(const Uuid& clipId, double to,
                                 const std::optional<Uuid>& toTrackId) const {
    Project result = applyTo(projectRepository_->load(), clipId, to, toTrackId, true);
    projectRepository_->save(result);
    return result;
}

bool MoveClipUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::Move>();
}

Project MoveClipUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* move = command.getIf<EditCommand::Move>();
    if (move == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(move->clipId, move->to, move->toTrackId);
}

} // namespace vexel
