#pragma once

#include "foundation/Json.h"

#include <array>
#include <string>
#include <string_view>

namespace vexel {

// A named look filter and its strength.
struct FilterPreset {
    // The preset names the filter edit accepts and the renderer draws, in menu order.
    static constexpr std::array<std::string_view, 3> supportedNames = {"sepia", "grayscale",
                                                                       "noir"};

    // "none" and the empty name mean no filter.
    std::string name;
    // 0 to 1; 1 is full strength.
    double intensity = 1.0;

    // The name is neither empty nor exactly "none"; the intensity is not looked at.
    bool isActive() const;

    friend bool operator==(const FilterPreset&, const FilterPreset&) = default;
};

// {"name", "intensity"}; decoding clamps the intensity into [0, 1].
void to_json(Json& json, const FilterPreset& preset);
void from_json(const Json& json, FilterPreset& preset);

} // namespace vexel
