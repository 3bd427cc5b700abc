#include "data/composition/TextOverlayRenderer.h"

#include "data/composition/OverlayGeometry.h"

#include <cmath>

namespace vexel {

using media::Affine;
using media::Rect;

image::Picture TextOverlayRenderer::applyAnimationTransforms(const image::Picture& image,
                                                             const TextAnimationState& state,
                                                             media::Size renderSize) {
    const Affine motion = animationTransform(image.extent(), state, renderSize);
    return motion.isIdentity() ? image : image.transformed(motion);
}

Affine TextOverlayRenderer::animationTransform(const Rect& extent, const TextAnimationState& state,
                                               media::Size renderSize) {
    const double s = state.scale;
    // The state's offsets count down, the frame up.
    const double dx = state.normalizedOffsetX * renderSize.width;
    const double dy = -state.normalizedOffsetY * renderSize.height;
    Affine motion = Affine::identity();
    if (std::abs(s - 1) > motionThreshold) {
        const Affine scaling =
            OverlayGeometry::about(Affine::scale(s, s), OverlayGeometry::centre(extent));
        if (OverlayGeometry::isFinite(scaling)) {
            motion = scaling;
        }
    }
    if (std::abs(dx) > motionThreshold || std::abs(dy) > motionThreshold) {
        const Affine offset = Affine::translation(dx, dy);
        if (OverlayGeometry::isFinite(offset)) {
            motion = motion.then(offset);
        }
    }
    return motion;
}

image::Picture TextOverlayRenderer::applyWipeMask(const image::Picture& image, double progress,
                                                  Direction direction) {
    return image.cropped(wipeRect(image.extent(), progress, direction));
}

Rect TextOverlayRenderer::wipeRect(const Rect& e, double progress, Direction direction) {
    const double p = progress > 0 ? std::min(progress, 1.0) : 0.0;
    const double w = e.size.width;
    const double h = e.size.height;
    switch (direction) {
    case Direction::left:
        return {{e.minX(), e.minY()}, {p * w, h}};
    case Direction::right:
        return {{e.maxX() - p * w, e.minY()}, {p * w, h}};
    case Direction::up:
        return {{e.minX(), e.maxY() - p * h}, {w, p * h}};
    case Direction::down:
        return {{e.minX(), e.minY()}, {w, p * h}};
    }
    return e;
}

} // namespace vexel
