#pragma once

#include "platform/media/PixelBuffer.h"
#include "support/ForeignMedia.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

// Pictures that show whether fields were woven together or deinterlaced: an
// edge that moves between the two fields of a frame, as a camera records a
// pan, and thin stripes that change at every frame of a progressive movie.
namespace vexel::testing {

// The edge's place at field time t (two a frame): white left of it.
inline int fieldEdge(int fieldTime) {
    return 40 + 3 * fieldTime;
}

// Frame i holds the field shown first at field time 2i, the other at 2i + 1:
// with the top field first, even rows are the earlier ones.
inline PaintFrame movingEdgeFields(FieldOrder order) {
    return [order](int index, std::uint8_t* bgra, int stride, int width, int height) {
        for (int y = 0; y < height; ++y) {
            const bool topField = y % 2 == 0;
            const bool later = order == FieldOrder::bottomFieldFirst ? topField : !topField;
            const int edge = fieldEdge(2 * index + (later ? 1 : 0));
            std::uint8_t* row = bgra + static_cast<std::ptrdiff_t>(y) * stride;
            for (int x = 0; x < width; ++x) {
                const std::uint8_t level = x < edge ? 255 : 0;
                row[4 * x] = row[4 * x + 1] = row[4 * x + 2] = level;
                row[4 * x + 3] = 255;
            }
        }
    };
}

// Rows alternately white and black, the other way round at every frame.
inline void stripesChangingEveryFrame(int index, std::uint8_t* bgra, int stride, int width,
                                      int height) {
    for (int y = 0; y < height; ++y) {
        const std::uint8_t level = (y + index) % 2 == 0 ? 255 : 0;
        std::uint8_t* row = bgra + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            row[4 * x] = row[4 * x + 1] = row[4 * x + 2] = level;
            row[4 * x + 3] = 255;
        }
    }
}

// How much rows differ from the mean of the rows above and below them, in
// green levels, over [x0, x1) and all rows but the outermost: high where
// alternate rows show different pictures (woven fields, or thin stripes),
// near zero over a picture that is smooth from row to row.
inline double lineToLineDifference(const media::PixelBuffer& frame, int x0, int x1) {
    double sum = 0;
    int count = 0;
    for (int y = 8; y + 8 < frame.height(); ++y) {
        const std::uint8_t* above = frame.row(y - 1);
        const std::uint8_t* row = frame.row(y);
        const std::uint8_t* below = frame.row(y + 1);
        for (int x = x0; x < x1; ++x) {
            sum += std::abs(2 * row[4 * x + 1] - above[4 * x + 1] - below[4 * x + 1]) / 2.0;
            ++count;
        }
    }
    return count ? sum / count : 0;
}

// Where row y of a picture of movingEdgeFields turns from white to black.
inline int edgeInRow(const media::PixelBuffer& frame, int y) {
    const std::uint8_t* row = frame.row(y);
    for (int x = 0; x < frame.width(); ++x) {
        if (row[4 * x + 1] < 128) {
            return x;
        }
    }
    return frame.width();
}

// Whether the picture is frame `index` of movingEdgeFields: its edge lies
// where one of the frame's two fields has it, in each of two rows.
inline bool showsEdgeOfFrame(const media::PixelBuffer& frame, int index) {
    for (int y : {frame.height() / 2, frame.height() / 2 + 1}) {
        const int edge = edgeInRow(frame, y);
        if (!(fieldEdge(2 * index) - 2 <= edge && edge <= fieldEdge(2 * index + 1) + 2)) {
            return false;
        }
    }
    return true;
}

// The combing of frame `index` of movingEdgeFields around its edge, against
// that of the frame as painted (1: woven as painted, 0: rows that follow
// each other smoothly).
inline double combing(const media::PixelBuffer& frame, int index) {
    const int x0 = fieldEdge(2 * index) - 10;
    const int x1 = fieldEdge(2 * index + 1) + 10;
    // As painted, the rows differ by 255 over the three columns between
    // the fields' edges and not at all elsewhere.
    const double painted = 255.0 * (fieldEdge(2 * index + 1) - fieldEdge(2 * index)) / (x1 - x0);
    return lineToLineDifference(frame, x0, x1) / painted;
}

} // namespace vexel::testing
