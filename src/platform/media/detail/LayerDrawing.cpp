#include "platform/media/detail/LayerDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace vexel::media::detail {

namespace {

// x / 255, rounded, for 0 <= x <= 255 * 255.
inline std::uint32_t divide255(std::uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// Source-over of a premultiplied pixel scaled by alpha / 256.
inline void blend(std::uint8_t* d, std::uint32_t b, std::uint32_t g, std::uint32_t r,
                  std::uint32_t a, std::uint32_t alpha) {
    if (alpha == 256 && a == 255) {
        d[0] = static_cast<std::uint8_t>(b);
        d[1] = static_cast<std::uint8_t>(g);
        d[2] = static_cast<std::uint8_t>(r);
        d[3] = 255;
        return;
    }
    b = (b * alpha) >> 8;
    g = (g * alpha) >> 8;
    r = (r * alpha) >> 8;
    a = (a * alpha) >> 8;
    std::uint32_t rest = 255 - a;
    d[0] = static_cast<std::uint8_t>(b + divide255(d[0] * rest));
    d[1] = static_cast<std::uint8_t>(g + divide255(d[1] * rest));
    d[2] = static_cast<std::uint8_t>(r + divide255(d[2] * rest));
    d[3] = static_cast<std::uint8_t>(a + divide255(d[3] * rest));
}

struct Bounds {
    int x0, y0, x1, y1;
};

bool isWhole(double v) {
    return v == std::floor(v) && std::fabs(v) < 1e9;
}

} // namespace

void fillOpaqueBlack(const PixelBuffer& target) {
    const int width = target.width();
    for (int y = 0; y < target.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(target.row(y));
        // B, G, R = 0 and A = 255, little-endian.
        std::fill(row, row + width, 0xFF000000u);
    }
}

bool coversTarget(const PixelBuffer& target, const PixelBuffer& source, const Affine& transform,
                  const std::optional<Rect>& crop) {
    return !crop && transform.a == 1 && transform.b == 0 && transform.c == 0 && transform.d == 1 &&
           isWhole(transform.tx) && isWhole(transform.ty) && transform.tx <= 0 &&
           transform.ty <= 0 && transform.tx + source.width() >= target.width() &&
           transform.ty + source.height() >= target.height();
}

void drawOverBlack(const PixelBuffer& target, const PixelBuffer& source, const Affine& transform,
                   float opacity) {
    auto alpha = static_cast<std::uint32_t>(std::lround(std::clamp(opacity, 0.0f, 1.0f) * 256));
    auto dx = static_cast<int>(-transform.tx);
    auto dy = static_cast<int>(-transform.ty);
    const int width = target.width();
    const int height = target.height();
    for (int y = 0; y < height; ++y) {
        const auto* s = reinterpret_cast<const std::uint32_t*>(source.row(y + dy)) + dx;
        auto* d = reinterpret_cast<std::uint32_t*>(target.row(y));
        if (alpha == 256) {
            // Premultiplied colour over black is the colour itself, opaque.
            for (int x = 0; x < width; ++x) {
                d[x] = s[x] | 0xFF000000u;
            }
            continue;
        }
        for (int x = 0; x < width; ++x) {
            std::uint32_t rb = (((s[x] & 0x00FF00FFu) * alpha) >> 8) & 0x00FF00FFu;
            std::uint32_t g = (((s[x] & 0x0000FF00u) * alpha) >> 8) & 0x0000FF00u;
            d[x] = rb | g | 0xFF000000u;
        }
    }
}

void drawLayer(const PixelBuffer& target, const PixelBuffer& source, const Affine& transform,
               const std::optional<Rect>& crop, float opacity) {
    if (!(opacity > 0)) {
        return;
    }
    auto alpha = static_cast<std::uint32_t>(std::lround(std::min(opacity, 1.0f) * 256));
    Rect area{{0, 0}, {static_cast<double>(source.width()), static_cast<double>(source.height())}};
    if (crop) {
        double x0 = std::max(area.minX(), crop->minX());
        double y0 = std::max(area.minY(), crop->minY());
        double x1 = std::min(area.maxX(), crop->maxX());
        double y1 = std::min(area.maxY(), crop->maxY());
        if (!(x0 < x1 && y0 < y1)) {
            return;
        }
        area = {{x0, y0}, {x1 - x0, y1 - y0}};
    }
    std::optional<Affine> inverse = transform.inverted();
    if (!inverse) {
        return;
    }
    Rect covered = transform.apply(area);
    Bounds out{std::max(0, static_cast<int>(std::floor(covered.minX()))),
               std::max(0, static_cast<int>(std::floor(covered.minY()))),
               std::min(target.width(), static_cast<int>(std::ceil(covered.maxX()))),
               std::min(target.height(), static_cast<int>(std::ceil(covered.maxY())))};

    // A whole-pixel move of a whole-pixel area needs no resampling.
    bool translationOnly = transform.a == 1 && transform.b == 0 && transform.c == 0 &&
                           transform.d == 1 && isWhole(transform.tx) && isWhole(transform.ty) &&
                           isWhole(area.minX()) && isWhole(area.minY()) && isWhole(area.maxX()) &&
                           isWhole(area.maxY());
    if (translationOnly) {
        auto dx = static_cast<int>(transform.tx);
        auto dy = static_cast<int>(transform.ty);
        for (int y = out.y0; y < out.y1; ++y) {
            const std::uint8_t* s = source.row(y - dy) + 4 * (out.x0 - dx);
            std::uint8_t* d = target.row(y) + 4 * out.x0;
            for (int x = out.x0; x < out.x1; ++x, s += 4, d += 4) {
                blend(d, s[0], s[1], s[2], s[3], alpha);
            }
        }
        return;
    }

    // Bilinear: each target pixel centre maps back into the source; samples
    // outside the drawn area are not drawn, neighbours at its edge are clamped.
    const int sx0 = static_cast<int>(std::floor(area.minX()));
    const int sy0 = static_cast<int>(std::floor(area.minY()));
    const int sx1 = static_cast<int>(std::ceil(area.maxX())) - 1;
    const int sy1 = static_cast<int>(std::ceil(area.maxY())) - 1;
    const Affine& m = *inverse;
    for (int y = out.y0; y < out.y1; ++y) {
        std::uint8_t* d = target.row(y) + 4 * out.x0;
        for (int x = out.x0; x < out.x1; ++x, d += 4) {
            Point p = m.apply(Point{x + 0.5, y + 0.5});
            if (!(p.x >= area.minX() && p.x < area.maxX() && p.y >= area.minY() &&
                  p.y < area.maxY())) {
                continue;
            }
            double fx = p.x - 0.5;
            double fy = p.y - 0.5;
            int ix = static_cast<int>(std::floor(fx));
            int iy = static_cast<int>(std::floor(fy));
            auto wx = static_cast<std::uint32_t>((fx - ix) * 256);
            auto wy = static_cast<std::uint32_t>((fy - iy) * 256);
            int xa = std::clamp(ix, sx0, sx1);
            int xb = std::clamp(ix + 1, sx0, sx1);
            const std::uint8_t* top = source.row(std::clamp(iy, sy0, sy1));
            const std::uint8_t* bottom = source.row(std::clamp(iy + 1, sy0, sy1));
            std::uint32_t value[4];
            for (int c = 0; c < 4; ++c) {
                std::uint32_t upper = top[4 * xa + c] * (256 - wx) + top[4 * xb + c] * wx;
                std::uint32_t lower = bottom[4 * xa + c] * (256 - wx) + bottom[4 * xb + c] * wx;
                value[c] = (upper * (256 - wy) + lower * wy + (1u << 15)) >> 16;
            }
            blend(d, value[0], value[1], value[2], value[3], alpha);
        }
    }
}

} // namespace vexel::media::detail
