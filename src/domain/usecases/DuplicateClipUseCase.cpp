#include "domain/usecases/DuplicateClipUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"
#include "domain/utilities/ClipNameGenerator.h"

namespace vexel {

Project DuplicateClipUseCase::applyTo(Project project, const Uuid& clipId,
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

    if (!endsWithinProject(project, copy.timeRange.startTime, copy.timeRange.duration)) {
        throw EditError::exceedsMaxDuration();
    }
    if (holding->hasOverlap(copy.timeRange)) {
        throw EditError::clipOverlap();
    }
    return std::move(project).addingClip(copy, holding->id);
}

Project DuplicateClipUseCase::applyCase(const EditCommand::DuplicateClip& duplicate,
                                        Project project) const {
    return applyTo(std::move(project), duplicate.clipId, duplicate.at);
}

} // namespace vexel
