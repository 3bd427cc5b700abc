#pragma once

#include "presentation/theme/RGBColor.h"

namespace vexel {

// The window's palette.
struct VexelColors {
    VexelColors() = delete;

    static constexpr RGBColor accent = rgb(0x0061FF);
    // Panel surfaces, darker and lighter.
    static constexpr RGBColor surface800 = rgb(0x1A1A26);
    static constexpr RGBColor surface700 = rgb(0x252533);
    static constexpr RGBColor textSecondary = rgb(0x94A3B8);
    static constexpr RGBColor textMuted = rgb(0x64748B);
    // Clips and tracks of each kind.
    static constexpr RGBColor trackVideo = rgb(0x3B6EDB);
    static constexpr RGBColor trackAudio = rgb(0x3DA87A);
    static constexpr RGBColor trackImage = rgb(0xD4854A);
    static constexpr RGBColor trackText = rgb(0x8B6FC0);
    // The outline of the selected clip or overlay.
    static constexpr RGBColor selection = rgb(0xFFFFFF);
    // The guide a dragged clip snaps to.
    static constexpr RGBColor snapGuide = accent.withOpacity(0.7);
    static constexpr RGBColor error = rgb(0xEF4444);
    static constexpr RGBColor warning = rgb(0xF97316);
    static constexpr RGBColor caution = rgb(0xEAB308);
    static constexpr RGBColor playhead = rgb(0xEF4444);
};

} // namespace vexel
