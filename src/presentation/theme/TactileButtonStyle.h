#pragma once

#include <chrono>

namespace vexel {

// How a pressed button answers the touch: its label shrinks a little about its
// centre while pressed and springs back on release, eased out. When the
// desktop asks for reduced motion, the toolkit's default animation is used
// instead of this one.
struct TactileButtonStyle {
    static constexpr double pressedScale = 0.95;
    static constexpr double releasedScale = 1.0;
    static constexpr std::chrono::milliseconds animationDuration{120};

    static constexpr double scale(bool isPressed) {
        return isPressed ? pressedScale : releasedScale;
    }
};

} // namespace vexel
