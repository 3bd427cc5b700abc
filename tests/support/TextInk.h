#pragma once

#include "platform/media/PixelBuffer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vexel::test {

// Where a text raster holds ink (alpha above 0), for tests of drawn text.

inline std::uint8_t alphaAt(const media::PixelBuffer& picture, int x, int y) {
    return picture.row(y)[x * 4 + 3];
}

// A run of rows with ink, bounded by rows without: one line of text whose
// glyphs reach neither into the line above nor below. Edges are exclusive.
struct InkBand {
    int top = 0;
    int bottom = 0;
    int left = 0;
    int right = 0;
};

inline std::vector<InkBand> inkBands(const media::PixelBuffer& picture) {
    std::vector<InkBand> bands;
    bool inBand = false;
    for (int y = 0; y < picture.height(); ++y) {
        int left = picture.width();
        int right = 0;
        for (int x = 0; x < picture.width(); ++x) {
            if (alphaAt(picture, x, y) > 0) {
                left = std::min(left, x);
                right = x + 1;
            }
        }
        if (right == 0) {
            inBand = false;
            continue;
        }
        if (!inBand) {
            bands.push_back({y, y, left, right});
            inBand = true;
        }
        InkBand& band = bands.back();
        band.bottom = y + 1;
        band.left = std::min(band.left, left);
        band.right = std::max(band.right, right);
    }
    return bands;
}

inline bool hasInk(const media::PixelBuffer& picture) {
    return !inkBands(picture).empty();
}

// Whether both pictures have the same size and pixels.
inline bool samePixels(const media::PixelBuffer& a, const media::PixelBuffer& b) {
    if (a.width() != b.width() || a.height() != b.height()) {
        return false;
    }
    const auto rowBytes = static_cast<std::size_t>(a.width()) * 4;
    for (int y = 0; y < a.height(); ++y) {
        if (!std::equal(a.row(y), a.row(y) + rowBytes, b.row(y))) {
            return false;
        }
    }
    return true;
}

} // namespace vexel::test
