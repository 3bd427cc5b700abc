#include "domain/usecases/ReverseUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project ReverseUseCase::applyTo(Project project, const Uuid& clipId) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::video, TrackType::audio});
    ClipBuilder builder(clip);
    builder.isReversed = !clip.isReversed;
    return std::move(project).replacingClip(builder.build());
}

Project ReverseUseCase::applyCase(const EditCommand::Reverse& reverse, Project project) const {
    return applyTo(std::move(project), reverse.clipId);
}

} // namespace vexel
