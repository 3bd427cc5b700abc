#pragma once

#include "platform/text/Color.h"
#include "platform/text/Font.h"

#include <optional>

namespace vexel::text {

// An outline drawn over the filled glyphs, centred on their edges.
struct Stroke {
    Color color;
    // Line width in points of the layout (scale 1).
    double width = 0;

    friend bool operator==(const Stroke&, const Stroke&) = default;
};

// How a whole text is drawn: one font, one fill colour, an optional outline.
struct TextAttributes {
    Font font;
    Color foreground;
    std::optional<Stroke> stroke;

    friend bool operator==(const TextAttributes&, const TextAttributes&) = default;
};

} // namespace vexel::text
