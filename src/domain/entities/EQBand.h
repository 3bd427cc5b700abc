#pragma once

#include "foundation/Json.h"

namespace vexel {

// One band of an equaliser.
struct EQBand {
    // Centre frequency.
    double frequency = 0;
    double gain = 0;
    double bandwidth = 0;

    friend bool operator==(const EQBand&, const EQBand&) = default;
};

// {"frequency", "gain", "bandwidth"}, all required.
void to_json(Json& json, const EQBand& band);
void from_json(const Json& json, EQBand& band);

} // namespace vexel
