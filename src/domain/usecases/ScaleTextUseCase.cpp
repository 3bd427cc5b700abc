#include "domain/usecases/ScaleTextUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project ScaleTextUseCase::applyTo(Project project, const Uuid& clipId, double scale) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::text});
    if (!(minScale <= scale && scale <= maxScale)) {
        throw EditError::invalidScale(scale);
    }
    ClipBuilder builder(clip);
    builder.textScale = scale;
    return std::move(project).replacingClip(builder.build());
}

Project ScaleTextUseCase::applyCase(const EditCommand::ScaleText& scaleText,
                                    Project project) const {
    return applyTo(std::move(project), scaleText.clipId, scaleText.scale);
}

} // namespace vexel
