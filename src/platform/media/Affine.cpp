#include "platform/media/Affine.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace vexel::media {

Affine Affine::rotation(double radians) {
    double cosine = std::cos(radians);
    double sine = std::sin(radians);
    return {cosine, sine, -sine, cosine, 0, 0};
}

Affine Affine::then(const Affine& next) const {
    return {a * next.a + b * next.c,
            a * next.b + b * next.d,
            c * next.a + d * next.c,
            c * next.b + d * next.d,
            tx * next.a + ty * next.c + next.tx,
            tx * next.b + ty * next.d + next.ty};
}

std::optional<Affine> Affine::inverted() const {
    double determinant = a * d - b * c;
    if (determinant == 0 || !std::isfinite(determinant)) {
        return std::nullopt;
    }
    double ia = d / determinant;
    double ib = -b / determinant;
    double ic = -c / determinant;
    double id = a / determinant;
    return Affine{ia, ib, ic, id, -(tx * ia + ty * ic), -(tx * ib + ty * id)};
}

Point Affine::apply(const Point& point) const {
    return {a * point.x + c * point.y + tx, b * point.x + d * point.y + ty};
}

Size Affine::apply(const Size& size) const {
    return {a * size.width + c * size.height, b * size.width + d * size.height};
}

Rect Affine::apply(const Rect& rect) const {
    Point corners[] = {
        apply(Point{rect.minX(), rect.minY()}), apply(Point{rect.maxX(), rect.minY()}),
        apply(Point{rect.minX(), rect.maxY()}), apply(Point{rect.maxX(), rect.maxY()})};
    double minX = corners[0].x;
    double maxX = corners[0].x;
    double minY = corners[0].y;
    double maxY = corners[0].y;
    for (const Point& p : corners) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    return {{minX, minY}, {maxX - minX, maxY - minY}};
}

std::ostream& operator<<(std::ostream& out, const Affine& t) {
    return out << "(" << t.a << ", " << t.b << ", " << t.c << ", " << t.d << ", " << t.tx << ", "
               << t.ty << ")";
}

} // namespace vexel::media
