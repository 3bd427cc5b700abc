#pragma once

#include "platform/media/Geometry.h"

#include <iosfwd>
#include <optional>

namespace vexel::media {

// A 2D affine transform in row-vector form: (x, y) maps to
// (a*x + c*y + tx, b*x + d*y + ty). A video track's preferred transform uses
// this form in top-left coordinates: a portrait phone video is (0, 1, -1, 0, h, 0).
struct Affine {
    double a = 1;
    double b = 0;
    double c = 0;
    double d = 1;
    double tx = 0;
    double ty = 0;

    static Affine identity() { return {}; }
    static Affine translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Affine scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    // Positive angles turn +x towards +y (clockwise on screen with y down).
    static Affine rotation(double radians);

    // This transform, then `next`: the matrix product this * next.
    Affine then(const Affine& next) const;
    // Nothing when the transform is singular.
    std::optional<Affine> inverted() const;

    bool isIdentity() const { return *this == Affine{}; }

    Point apply(const Point& point) const;
    // The linear part only: how a size is turned and scaled, signs kept.
    Size apply(const Size& size) const;
    // The bounding box of the transformed rectangle.
    Rect apply(const Rect& rect) const;

    friend bool operator==(const Affine&, const Affine&) = default;
};

std::ostream& operator<<(std::ostream& out, const Affine& transform);

} // namespace vexel::media
