#pragma once

#include "platform/text/Color.h"

#include <string_view>

namespace vexel {

// The colours that text styles name.
class TextOverlayCompositor {
public:
    TextOverlayCompositor() = delete;

    // One of "white", "black", "red", "yellow", "blue", "green", "orange",
    // "purple", "pink" and "gray", in any letter case; every other name
    // (also "grey" and the empty name) is white. Used for fill and outline.
    static text::Color cgColor(std::string_view name);
};

} // namespace vexel
