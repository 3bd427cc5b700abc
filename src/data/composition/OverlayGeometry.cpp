#include "data/composition/OverlayGeometry.h"

#include <cmath>
#include <numbers>

namespace vexel::OverlayGeometry {

using media::Affine;

Affine about(const Affine& operation, media::Point point) {
    return Affine::translation(-point.x, -point.y)
        .then(operation)
        .then(Affine::translation(point.x, point.y));
}

Affine rotationDegrees(double degrees) {
    if (std::isfinite(degrees) && std::fmod(degrees, 90.0) == 0) {
        // Quarter turns 0 to 3, counter-clockwise.
        const double turns = std::fmod(degrees / 90.0, 4.0);
        switch (static_cast<int>(turns < 0 ? turns + 4 : turns)) {
        case 1:
            return {0, 1, -1, 0, 0, 0};
        case 2:
            return {-1, 0, 0, -1, 0, 0};
        case 3:
            return {0, -1, 1, 0, 0, 0};
        default:
            return Affine::identity();
        }
    }
    return Affine::rotation(degrees * std::numbers::pi / 180);
}

media::Point centre(const media::Rect& rect) {
    return {rect.minX() + rect.size.width / 2, rect.minY() + rect.size.height / 2};
}

bool isFinite(const Affine& t) {
    return std::isfinite(t.a) && std::isfinite(t.b) && std::isfinite(t.c) && std::isfinite(t.d) &&
           std::isfinite(t.tx) && std::isfinite(t.ty);
}

image::Picture transformedIfFinite(const image::Picture& picture, const Affine& transform) {
    if (!isFinite(transform)) {
        return picture;
    }
    return picture.transformed(transform);
}

} // namespace vexel::OverlayGeometry
