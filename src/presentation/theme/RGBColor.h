#pragma once

#include <cstdint>

namespace vexel {

// An sRGB colour with its opacity (0 transparent to 1 opaque).
struct RGBColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    double opacity = 1.0;

    // The same colour at another opacity.
    constexpr RGBColor withOpacity(double newOpacity) const {
        return RGBColor{red, green, blue, newOpacity};
    }

    friend constexpr bool operator==(const RGBColor&, const RGBColor&) = default;
};

// From 0xRRGGBB, fully opaque.
constexpr RGBColor rgb(std::uint32_t hex) {
    return RGBColor{static_cast<std::uint8_t>((hex >> 16) & 0xFF),
                    static_cast<std::uint8_t>((hex >> 8) & 0xFF),
                    static_cast<std::uint8_t>(hex & 0xFF), 1.0};
}

} // namespace vexel
