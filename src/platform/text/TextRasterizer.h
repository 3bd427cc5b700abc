#pragma once

#include "platform/media/PixelBuffer.h"
#include "platform/text/TextAttributes.h"

#include <cstddef>
#include <limits>
#include <string_view>

// Measuring and drawing text with the desktop's font system.
//
// The font system needs a QGuiApplication: the application creates it on its
// main thread before any text is measured or drawn, and test and benchmark
// programs create one in their main with the offscreen platform. Without one
// these functions throw std::logic_error. With one they may be called from any
// number of threads at once: every call makes its own font, layout and painter
// objects, and what it returns shares nothing with other calls.
//
// Text is laid out at scale 1, where a point is a pixel: paragraphs end at line
// feeds, lines break at word boundaries (inside a word only when the word alone
// is wider than the box), each paragraph is aligned at the start of its writing
// direction, and lines follow each other at the font's line spacing from the
// top of the box. Measuring and drawing share that layout, so a text drawn at
// any scale breaks where it was measured.
namespace vexel::text {

// Font sizes outside (0, maxPointSize] lay nothing out.
inline constexpr double maxPointSize = 16384;

// Of a longer text only its first whole characters within this many bytes of
// UTF-8 are laid out and drawn. That is more than the largest box shows at any
// size a title is read at, while laying out a text of millions of characters
// (one without spaces above all, broken anywhere, line after line) takes
// minutes.
inline constexpr std::size_t maxLaidOutBytes = 64 * 1024;

struct TextExtent {
    double width = 0;
    double height = 0;

    friend bool operator==(const TextExtent&, const TextExtent&) = default;
};

// The width of the widest line and the height of all lines of `text` laid out
// in `boxWidth` points. Zero for an empty text, a box width that is not above
// 0, or a font size outside the range. Boxes wider than a million points lay
// out as a million points wide. Lines that would start at or below
// `heightLimit` are not laid out and count for nothing: a caller that shows no
// more than that height need not pay for the rest.
TextExtent measureText(std::string_view text, const TextAttributes& attributes, double boxWidth,
                       double heightLimit = std::numeric_limits<double>::infinity());

// The glyphs of `text`, laid out in a box of `boxWidth` × `boxHeight` points
// and drawn `scale` times as large, on a transparent picture of the whole part
// of `scale` × the box size in pixels. Lines that do not wholly fit in the box
// are left out. A null buffer when either side of the picture is not between 1
// and PixelBuffer::maxDimension pixels. No one changes the pixels afterwards:
// the picture may be shared and read from any thread. The picture comes from
// `buffers` when given, else from fresh memory.
media::PixelBuffer rasterizeText(std::string_view text, const TextAttributes& attributes,
                                 double boxWidth, double boxHeight, double scale,
                                 media::PixelBufferRecycler* buffers = nullptr);

} // namespace vexel::text
