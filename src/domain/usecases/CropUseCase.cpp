#include "domain/usecases/CropUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

#include <cmath>

namespace vexel {

Project CropUseCase::applyTo(Project project, const Uuid& clipId, double x, double y, double width,
                             double height) const {
    const Clip& clip = requireClip(project, clipId);
    requireTrackType(clip, {TrackType::video, TrackType::image});
    if (!(x >= -1e-9 && y >= -1e-9 && width > 0 && height > 0 && x + width <= 1.000000001 &&
          y + height <= 1.000000001)) {
        throw EditError::invalidCropRect();
    }
    ClipTransform transform = clip.transform.value_or(ClipTransform::identity());
    transform.cropRect = NormalizedRect{x, y, width, height};
    const bool wholeUnturnedFrame = transform.rotation == 0 && !transform.flipHorizontal &&
                                    !transform.flipVertical && std::abs(x) < 1e-9 &&
                                    std::abs(y) < 1e-9 && std::abs(width - 1) < 1e-9 &&
                                    std::abs(height - 1) < 1e-9;
    ClipBuilder builder(clip);
    builder.transform = wholeUnturnedFrame ? std::nullopt : std::optional(transform);
    return std::move(project).replacingClip(builder.build());
}

Project CropUseCase::applyCase(const EditCommand::Crop& crop, Project project) const {
    return applyTo(std::move(project), crop.clipId, crop.x, crop.y, crop.width, crop.height);
}

} // namespace vexel
