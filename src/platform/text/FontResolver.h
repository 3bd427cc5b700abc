#pragma once

#include "platform/text/Font.h"

#include <optional>
#include <string>

namespace vexel::text {

// The installed font that `name` names, at `pointSize`: the font the font
// system picks for the name is taken when its family name equals the name or
// its PostScript name contains it, letter case aside. Otherwise (an absent or
// empty name, or one the font system only substitutes another font for) the
// system's user-interface font. Needs the QGuiApplication that
// TextRasterizer.h describes; callable from any thread.
Font resolveFont(const std::optional<std::string>& name, double pointSize);

} // namespace vexel::text
