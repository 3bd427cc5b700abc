#include "domain/usecases/EditTextUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project EditTextUseCase::applyTo(Project project, const EditCommand::EditText& edit) const {
    const Clip* clip = project.findClip(edit.textId);
    if (clip == nullptr || clip->trackType != TrackType::text) {
        throw EditError::clipNotFound(edit.textId);
    }
    // A text clip of no or negative length would vanish from the timeline and
    // run its animations over a backwards span.
    if (edit.timeRange && !(edit.timeRange->duration > 0)) {
        throw EditError::invalidTimeRange();
    }
    const TimeRange range = edit.timeRange.value_or(clip->timeRange);
    if (!endsWithinProject(project, range.startTime, range.duration)) {
        throw EditError::exceedsMaxDuration();
    }
    ClipBuilder builder(*clip);
    if (edit.text) {
        builder.assetName = *edit.text;
    }
    if (edit.position) {
        builder.textPosition = *edit.position;
    }
    if (edit.style) {
        builder.textStyle = *edit.style;
    }
    builder.timeRange = range;
    return std::move(project).replacingClip(builder.build());
}

Project EditTextUseCase::applyCase(const EditCommand::EditText& edit, Project project) const {
    return applyTo(std::move(project), edit);
}

} // namespace vexel
