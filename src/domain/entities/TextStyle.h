#pragma once

#include "foundation/Json.h"

#include <optional>
#include <string>

namespace vexel {

// How a text overlay looks. A default-constructed style is the default style
// that every text clip without a style of its own is drawn, measured,
// inspected and described with.
struct TextStyle {
    // Box width, as a fraction of the frame width, when `boxWidth` is absent.
    static constexpr double defaultBoxWidth = 0.96;

    // Points.
    double fontSize = 48;
    // Colour names, mapped to colours by the renderer.
    std::string textColor = "white";
    std::string strokeColor = "white";
    // 0 draws no outline.
    double strokeWidth = 0;
    // Absent: the renderer's default font.
    std::optional<std::string> fontName;
    // Fraction of the frame width; absent: `defaultBoxWidth`.
    std::optional<double> boxWidth;

    static TextStyle defaultStyle() { return {}; }

    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

// The four required members, then "fontName" and "boxWidth" when present.
// Decoding rejects an empty, over-long (255 UTF-8 bytes) or NUL-holding font
// name and a box width outside (0, 1].
void to_json(Json& json, const TextStyle& style);
void from_json(const Json& json, TextStyle& style);

} // namespace vexel
