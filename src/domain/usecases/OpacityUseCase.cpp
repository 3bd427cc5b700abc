#include "domain/usecases/OpacityUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project OpacityUseCase::applyTo(Project project, const Uuid& clipId, double opacity) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::video, TrackType::image});
    if (!(0 <= opacity && opacity <= 1)) {
        throw EditError::invalidOpacity(opacity);
    }
    ClipBuilder builder(clip);
    builder.opacity = opacity;
    return std::move(project).replacingClip(builder.build());
}

Project OpacityUseCase::applyCase(const EditCommand::Opacity& opacity, Project project) const {
    return applyTo(std::move(project), opacity.clipId, opacity.opacity);
}

} // namespace vexel
