#pragma once

#include "foundation/Json.h"

namespace vexel {

// Colour correction of a clip. Defaults are the neutral values.
struct ColorAdjust {
    // Added brightness, -1 darkest to 1 brightest.
    double brightness = 0.0;
    // Contrast factor, 0 none to 4.
    double contrast = 1.0;
    // Saturation factor, 0 greyscale to 4.
    double saturation = 1.0;

    // Every component within 1e-9 of its neutral value.
    bool isNeutral() const;

    friend bool operator==(const ColorAdjust&, const ColorAdjust&) = default;
};

// {"brightness", "contrast", "saturation"}, all required, no range checks.
void to_json(Json& json, const ColorAdjust& adjust);
void from_json(const Json& json, ColorAdjust& adjust);

} // namespace vexel
