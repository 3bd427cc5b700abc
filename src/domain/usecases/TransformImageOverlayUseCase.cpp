#include "domain/usecases/TransformImageOverlayUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project TransformImageOverlayUseCase::applyTo(const Project& project, const Uuid& clipId,
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
    return project.replacingClip(builder.build());
}

Project TransformImageOverlayUseCase::execute(const Uuid& clipId, std::optional<double> x,
                                              std::optional<double> y,
                                              std::optional<double> scale) const {
    return applyAndSave(*projectRepository_, [&](const Project& project) {
        return applyTo(project, clipId, x, y, scale);
    });
}

bool TransformImageOverlayUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::TransformImageOverlay>();
}

Project TransformImageOverlayUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* transform = command.getIf<EditCommand::TransformImageOverlay>();
    if (transform == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(transform->clipId, transform->x, transform->y, transform->scale);
}

} // namespace vexel
