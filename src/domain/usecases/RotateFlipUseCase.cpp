#include "domain/usecases/RotateFlipUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

namespace vexel {

Project RotateFlipUseCase::applyTo(Project project, const Uuid& clipId,
                                   std::optional<std::int64_t> rotation,
                                   std::optional<bool> flipHorizontal,
                                   std::optional<bool> flipVertical) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::video, TrackType::image});
    if (rotation && *rotation != 0 && *rotation != 90 && *rotation != 180 && *rotation != 270) {
        throw EditError::invalidRotation(*rotation);
    }
    ClipTransform transform = clip.transform.value_or(ClipTransform::identity());
    if (rotation) {
        transform.rotation = static_cast<int>(*rotation);
    }
    transform.flipHorizontal = flipHorizontal.value_or(transform.flipHorizontal);
    transform.flipVertical = flipVertical.value_or(transform.flipVertical);

    ClipBuilder builder(clip);
    builder.transform = transform.isIdentity() ? std::nullopt : std::optional(transform);
    return std::move(project).replacingClip(builder.build());
}

Project RotateFlipUseCase::applyCase(const EditCommand::RotateFlip& rotateFlip,
                                     Project project) const {
    return applyTo(std::move(project), rotateFlip.clipId, rotateFlip.rotation,
                   rotateFlip.flipHorizontal, rotateFlip.flipVertical);
}

} // namespace vexel
