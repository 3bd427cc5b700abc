#pragma once

#include "foundation/Json.h"

namespace vexel {

// A rectangle in coordinates normalised to a frame or an image: origin at the
// top-left corner, 0 to 1 on each axis. Nothing keeps it inside that square.
struct NormalizedRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    friend bool operator==(const NormalizedRect&, const NormalizedRect&) = default;
};

// {"x", "y", "width", "height"}, all required, no range checks.
void to_json(Json& json, const NormalizedRect& rect);
void from_json(const Json& json, NormalizedRect& rect);

} // namespace vexel
