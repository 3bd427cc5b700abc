#include "domain/entities/ColorAdjust.h"

#include "foundation/JsonReader.h"

#include <cmath>

namespace vexel {

bool ColorAdjust::isNeutral() const {
    return std::abs(brightness) < 1e-9 && std::abs(contrast - 1) < 1e-9 &&
           std::abs(saturation - 1) < 1e-9;
}

void to_json(Json& json, const ColorAdjust& adjust) {
    json = Json::object();
    json["brightness"] = adjust.brightness;
    json["contrast"] = adjust.contrast;
    json["saturation"] = adjust.saturation;
}

void from_json(const Json& json, ColorAdjust& adjust) {
    json::expectObject(json);
    adjust.brightness = json::readDouble(json, "brightness");
    adjust.contrast = json::readDouble(json, "contrast");
    adjust.saturation = json::readDouble(json, "saturation");
}

} // namespace vexel
