#include "domain/usecases/TrimClipUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"
#include "domain/usecases/FadeRangeRule.h"

#include <cmath>

namespace vexel {

Project TrimClipUseCase::applyTo(Project project, const Uuid& clipId, double sourceStart,
                                 double duration) const {
    const Clip* clip = project.findClip(clipId);
    if (clip == nullptr) {
        throw EditError::clipNotFound(clipId);
    }
    if (!(std::isfinite(sourceStart) && sourceStart >= 0) || !(duration > 0)) {
        throw EditError::invalidTimeRange();
    }
    if (!endsWithinProject(project, clip->timeRange.startTime, duration)) {
        throw EditError::exceedsMaxDuration();
    }
    ClipBuilder builder(*clip);
    builder.timeRange = TimeRange{clip->timeRange.startTime, duration};
    builder.sourceOffset = sourceStart;
    const Clip trimmed = applyingFadeRangeRule(builder.build().clampingTransitions());
    return std::move(project).replacingClip(trimmed);
}

Project TrimClipUseCase::applyCase(const EditCommand::Trim& trim, Project project) const {
    return applyTo(std::move(project), trim.clipId, trim.sourceStart, trim.duration);
}

} // namespace vexel
