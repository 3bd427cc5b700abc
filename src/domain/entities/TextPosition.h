#pragma once

#include "foundation/Json.h"

#include <string>

namespace vexel {

// Where a text overlay stands: one of three vertical presets, or a free point
// in frame coordinates ((0, 0) top-left, (1, 1) bottom-right), not clamped.
class TextPosition {
public:
    enum class Kind { top, center, bottom, custom };

    // The default position of a text clip without one: bottom.
    TextPosition() = default;

    static TextPosition top() { return TextPosition(Kind::top, 0, 0); }
    static TextPosition center() { return TextPosition(Kind::center, 0, 0); }
    static TextPosition bottom() { return TextPosition(Kind::bottom, 0, 0); }
    static TextPosition custom(double x, double y) { return TextPosition(Kind::custom, x, y); }

    Kind kind() const { return kind_; }
    bool isCustom() const { return kind_ == Kind::custom; }
    // The custom coordinates; 0 for a preset.
    double x() const { return x_; }
    double y() const { return y_; }

    // "top", "center", "bottom" or "custom(0.50, 0.25)" (two fixed decimals).
    std::string displayName() const;

    friend bool operator==(const TextPosition&, const TextPosition&) = default;

private:
    TextPosition(Kind kind, double x, double y)
        : kind_(kind)
        , x_(x)
        , y_(y) {}

    Kind kind_ = Kind::bottom;
    double x_ = 0;
    double y_ = 0;
};

// Presets as bare strings, custom as {"type": "custom", "x", "y"}.
void to_json(Json& json, const TextPosition& position);
// The object form first, then the bare string; custom coordinates must be
// finite and within [-1, 2].
void from_json(const Json& json, TextPosition& position);

} // namespace vexel
