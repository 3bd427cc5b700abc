#include "domain/entities/OverlayTransform.h"

#include "foundation/JsonReader.h"

namespace vexel {

namespace {

// NaN fails both comparisons and lands on the lower bound.
double clamp(double value, double lower, double upper) {
    if (!(value >= lower)) {
        return lower;
    }
    return value > upper ? upper : value;
}

} // namespace

OverlayTransform OverlayTransform::clamped() const {
    return {clamp(x, 0, 1), clamp(y, 0, 1), clamp(scale, minScale, maxScale)};
}

void to_json(Json& json, const OverlayTransform& transform) {
    json = Json::object();
    json["x"] = transform.x;
    json["y"] = transform.y;
    json["scale"] = transform.scale;
}

void from_json(const Json& json, OverlayTransform& transform) {
    json::expectObject(json);
    OverlayTransform read{json::readDouble(json, "x"), json::readDouble(json, "y"),
                          json::readDouble(json, "scale")};
    transform = read.clamped();
}

} // namespace vexel
