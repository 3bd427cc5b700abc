#pragma once

#include "domain/entities/Direction.h"

#include <optional>

namespace vexel {

// How a text overlay looks at one moment of its animation. The neutral state
// draws the text as if it had no animation.
struct TextAnimationState {
    double scale = 1;
    // Shifts as fractions of the frame: positive is right and down.
    double normalizedOffsetX = 0;
    double normalizedOffsetY = 0;
    double opacity = 1;
    // Both present during a wipe: how much of the text is uncovered (0 to 1), and towards where.
    std::optional<double> maskProgress;
    std::optional<Direction> maskDirection;

    friend bool operator==(const TextAnimationState&, const TextAnimationState&) = default;
};

} // namespace vexel
