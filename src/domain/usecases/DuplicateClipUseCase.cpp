#include "domain/usecases/DuplicateClipUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/utilities/ClipNameGenerator.h"

namespace vexel {

Project DuplicateClipUseCase::applyTo(const Project& project, const Uuid& clipId,
                                      std::optional<double> at) const {
    const Clip* clip = project.findClip(clipId);
    if (clip == nullptr) {
        throw EditError::clipNotFound(clipId);
    }
    const Track* holding = project.findTrackContainingClip(clipId);
    if (holding == nullptr) {
        throw EditError::clipNotFound(clipId);
    }
    const double start = at.value_or(clip->timeRange.startTime + clip->timeRange.duration);
    const auto names = ClipNameGenerator::generateNames(clip->assetName, 1, project.allClipNames());

    ClipBuilder builder(*clip);
    builder.id = Uuid::random();
    builder.assetName = names.at(0);
    builder.timeRange = TimeRange{start, clip->timeRange.duration};
    const Clip copy = builder.build();

    if (!(copy.timeRange.startTime + copy.timeRange.duration <= project.maxDuration)) {
        throw EditError::exceedsMaxDuration();
    }
    if (holding->hasOverlap(copy.timeRange)) {
        throw EditError::clipOverlap();
    }
    return project.addingClip(copy, holding->id);
}

Project DuplicateClipUseCase::execute(const Uuid& clipId, std::optional<double> at) const {
    Project result = applyTo(projectRepository_->load(), clipId, at);
    projectRepository_->save(result);
    return result;
}

bool DuplicateClipUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::DuplicateClip>();
}

Project DuplicateClipUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* duplicate = command.getIf<EditCommand::DuplicateClip>();
    if (duplicate == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(duplicate->clipId, duplicate->at);
}

} // namespace vexel
