#include "domain/usecases/TransformImageOverlayUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project TransformImageOverlayUseCase::applyTo(Project project, const Uuid& clipId,
                                              std::optional<double> x, std::optional<double> y,
                                              std::optional<double> scale) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::image});
    OverlayTransform placement = clip.overlayTransform.value_or(OverlayTransform{});
    placement.x = x.value_or(placement.x);
    placement.y = y.value_or(placement.y);
    placement.scale = scale.value_or(placement.scale);

    ClipBuilder builder(clip);
    builder.overlayTransform = placement.clamped();
    return std::move(project).replacingClip(builder.build());
}

Project TransformImageOverlayUseCase::applyCase(const EditCommand::TransformImageOverlay& transform,
                                                Project project) const {
    return applyTo(std::move(project), transform.clipId, transform.x, transform.y, transform.scale);
}

} // namespace vexel
