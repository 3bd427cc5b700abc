#include "platform/media/detail/DisplayMatrix.h"

#include "platform/media/MediaError.h"

#include <cmath>

namespace vexel::media {

namespace {

constexpr double kOne16 = 65536.0; // 16.16 fixed point
constexpr double kOne30 = 1 << 30; // 2.30 fixed point

std::int32_t toFixed16(double value) {
    if (!(std::fabs(value * kOne16) < 2147483647.0)) {
        throw MediaError(MediaError::Kind::invalidArgument,
                         "Transform value out of range for a display matrix");
    }
    return static_cast<std::int32_t>(std::lround(value * kOne16));
}

} // namespace

Affine preferredTransformFromDisplayMatrix(const DisplayMatrix& m, Size naturalSize) {
    Affine linear{m[0] / kOne16, m[1] / kOne16, m[3] / kOne16, m[4] / kOne16, 0, 0};
    Rect turned = linear.apply(Rect{{0, 0}, naturalSize});
    // -0.0 would make equal transforms print and compare oddly.
    linear.tx = turned.minX() == 0 ? 0 : -turned.minX();
    linear.ty = turned.minY() == 0 ? 0 : -turned.minY();
    for (double* v : {&linear.a, &linear.b, &linear.c, &linear.d}) {
        if (*v == 0) {
            *v = 0;
        }
    }
    return linear;
}

DisplayMatrix displayMatrixFromTransform(const Affine& t) {
    return {toFixed16(t.a),  toFixed16(t.b),  0,
            toFixed16(t.c),  toFixed16(t.d),  0,
            toFixed16(t.tx), toFixed16(t.ty), static_cast<std::int32_t>(kOne30)};
}

} // namespace vexel::media
