#include "data/composition/TextOverlayRenderer.h"

#include "data/composition/OverlayGeometry.h"

#include <cmath>

namespace vexel {

using media::Affine;
using media::Rect;

image::Picture TextOverlayRenderer::applyAnimationTransforms(const image::Picture& image,
                                                             const TextAnimationState& state,
                                                             media::Size renderSize) {
    const double s = state.scale;
    // The state's offsets count down, the frame up.
    const double dx = state.normalizedOffsetX * renderSize.width;
    const double dy = -state.normalizedOffsetY * renderSize.height;
    image::Picture moved = image;
    if (std::abs(s - 1) > motionThreshold) {
        moved = OverlayGeometry::transformedIfFinite(
            moved,
            OverlayGeometry::about(Affine::scale(s, s), OverlayGeometry::centre(moved.extent())));
    }
    if (std::abs(dx) > motionThreshold || std::abs(dy) > motionThreshold) {
        moved = OverlayGeometry::transformedIfFinite(moved, Affine::translation(dx, dy));
    }
    return moved;
}

image::Picture TextOverlayRenderer::applyWipeMask(const image::Picture& image, double progress,
                                                  Direction direction) {
    const double p = progress > 0 ? std::min(progress, 1.0) : 0.0;
    const Rect e = image.extent();
    const double w = e.size.width;
    const double h = e.size.height;
    switch (direction) {
    case Direction::left:
        return image.cropped({{e.minX(), e.minY()}, {p * w, h}});
    case Direction::right:
        return image.cropped({{e.maxX() - p * w, e.minY()}, {p * w, h}});
    case Direction::up:
        return image.cropped({{e.minX(), e.maxY() - p * h}, {w, p * h}});
    case Direction::down:
        return image.cropped({{e.minX(), e.minY()}, {w, p * h}});
    }
    return image;
}

} // namespace vexel
