#pragma once

#include "foundation/Json.h"

namespace vexel {

// Where an image clip is drawn over the video: its centre as fractions of the
// frame from the top-left corner, and a multiplier of its fitted size.
struct OverlayTransform {
    static constexpr double minScale = 0.1;
    static constexpr double maxScale = 5.0;

    double x = 0.5;
    double y = 0.5;
    double scale = 1.0;

    // x and y clamped into [0, 1], scale into [0.1, 5]; NaN becomes the lower bound.
    OverlayTransform clamped() const;

    friend bool operator==(const OverlayTransform&, const OverlayTransform&) = default;
};

// {"x", "y", "scale"}; decoding requires all three and clamps instead of rejecting.
void to_json(Json& json, const OverlayTransform& transform);
void from_json(const Json& json, OverlayTransform& transform);

} // namespace vexel
