#include "domain/usecases/TrimClipUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/FadeRangeRule.h"

namespace vexel {

Project TrimClipUseCase::applyTo(const Project& project, const Uuid& clipId, double sourceStart,
                                 double duration) const {
    const Clip* clip = project.findClip(clipId);
    if (clip == nullptr) {
        throw EditError::clipNotFound(clipId);
    }
    if (!(sourceStart >= 0) || !(duration > 0)) {
        throw EditError::invalidTimeRange();
    }
    if (!(clip->timeRange.startTime + duration <= project.maxDuration)) {
        throw EditError::exceedsMaxDuration();
    }
    ClipBuilder builder(*clip);
    builder.timeRange = TimeRange{clip->timeRange.startTime, duration};
    builder.sourceOffset = sourceStart;
    const Clip trimmed = applyingFadeRangeRule(builder.build().clampingTransitions());
    return project.replacingClip(trimmed);
}

Project TrimClipUseCase::execute(const Uuid& clipId, double sourceStart, double duration) const {
    Project result = applyTo(projectRepository_->load(), clipId, sourceStart, duration);
    projectRepository_->save(result);
    return result;
}

bool TrimClipUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::Trim>();
}

Project TrimClipUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* trim = command.getIf<EditCommand::Trim>();
    if (trim == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(trim->clipId, trim->sourceStart, trim->duration);
}

} // namespace vexel
