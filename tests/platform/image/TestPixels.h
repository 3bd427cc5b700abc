#pragma once

#include "platform/media/PixelBuffer.h"

#include <array>
#include <cstdint>
#include <random>

namespace vexel::image::test {

// A pixel as its four bytes in memory order: blue, green, red, alpha.
using Bgra = std::array<int, 4>;

inline Bgra pixelAt(const media::PixelBuffer& buffer, int x, int row) {
    const std::uint8_t* p = buffer.row(row) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

inline void setPixel(media::PixelBuffer& buffer, int x, int row, Bgra value) {
    std::uint8_t* p = buffer.row(row) + 4 * x;
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(value[i]);
    }
}

template <class Fill> media::PixelBuffer makeBuffer(int width, int height, Fill fill) {
    media::PixelBuffer buffer = media::PixelBuffer::create(width, height);
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            setPixel(buffer, x, row, fill(x, row));
        }
    }
    return buffer;
}

inline media::PixelBuffer solid(int width, int height, Bgra value) {
    return makeBuffer(width, height, [&](int, int) { return value; });
}

// Valid premultiplied noise (no colour byte above alpha), with fully
// transparent and fully opaque pixels among the others.
inline media::PixelBuffer noise(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    return makeBuffer(width, height, [&](int, int) {
        int kind = static_cast<int>(random() % 4);
        int alpha = kind == 0 ? 0 : kind == 1 ? 255 : static_cast<int>(random() % 256);
        Bgra p{};
        for (int i = 0; i < 3; ++i) {
            p[i] = alpha == 0 ? 0 : static_cast<int>(random() % (alpha + 1));
        }
        p[3] = alpha;
        return p;
    });
}

} // namespace vexel::image::test
