#include "domain/usecases/SetImageAnimationUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

#include <cmath>
#include <type_traits>
#include <variant>

namespace vexel {

namespace {

bool isInsideUnitSquare(const NormalizedRect& rect) {
    return rect.x >= -1e-9 && rect.y >= -1e-9 && rect.width > 1e-9 && rect.height > 1e-9 &&
           rect.x + rect.width <= 1.000000001 && rect.y + rect.height <= 1.000000001;
}

bool finiteWithin(double value, double low, double high) {
    return std::isfinite(value) && low <= value && value <= high;
}

} // namespace

void SetImageAnimationUseCase::validateAnimationParameters(const ImageAnimationType& type) {
    using T = ImageAnimationType;
    std::visit(
        [](const auto& motion) {
            using Motion = std::decay_t<decltype(motion)>;
            bool valid = true;
            if constexpr (std::is_same_v<Motion, T::KenBurns>) {
                if (!isInsideUnitSquare(motion.from) || !isInsideUnitSquare(motion.to)) {
                    throw EditError::invalidKenBurnsRect();
                }
            } else if constexpr (std::is_same_v<Motion, T::ZoomIn> ||
                                 std::is_same_v<Motion, T::ZoomOut>) {
                valid = finiteWithin(motion.factor, 1.01, 5.0);
            } else if constexpr (std::is_same_v<Motion, T::Pan>) {
                valid = 0 <= motion.distance && motion.distance <= 1.0;
            } else if constexpr (std::is_same_v<Motion, T::Shake>) {
                valid = 0 <= motion.intensity && motion.intensity <= 1.0;
            } else if constexpr (std::is_same_v<Motion, T::Rotate>) {
                valid = finiteWithin(motion.degrees, -3600, 3600);
            }
            if (!valid) {
                throw EditError::invalidImageAnimationParameter();
            }
        },
        type.payload());
}

Project SetImageAnimationUseCase::applyTo(Project project, const Uuid& clipId,
                                          const ImageAnimationType& type,
                                          EasingCurve easing) const {
    const Clip& clip = requireClip(project, clipId);
    if (clip.trackType != TrackType::image) {
        throw EditError::imageAnimationNotSupported();
    }
    validateAnimationParameters(type);
    ClipBuilder builder(clip);
    builder.imageAnimation = ImageAnimation{type, easing};
    return std::move(project).replacingClip(builder.build());
}

Project SetImageAnimationUseCase::applyCase(const EditCommand::SetImageAnimation& animation,
                                            Project project) const {
    return applyTo(std::move(project), animation.clipId, animation.type, animation.easing);
}

} // namespace vexel
