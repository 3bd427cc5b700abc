#pragma once

#include "domain/entities/TextStyle.h"
#include "platform/media/Geometry.h"
#include "platform/media/PixelBuffer.h"
#include "platform/text/Font.h"

#include <optional>
#include <string>
#include <string_view>

namespace vexel {

// Measures a styled text in a box and rasterises it at twice the box's size:
// the one text raster of the preview and of exported frames. Reads the style's
// font size, font name, colours and stroke width; the caller turns the style's
// box width into points. Stateless; safe on any number of threads at once once
// the application's QGuiApplication exists (platform/text/TextRasterizer.h).
class TextRenderer {
public:
    TextRenderer() = delete;

    // Pixels of the raster per point of the box, across and down.
    static constexpr double scale = 2;
    // The largest box side in points, and so the largest raster side in pixels.
    static constexpr double maxBoxDimension = 2048;
    static constexpr double maxPixelDimension = scale * maxBoxDimension;

    // The installed font `name` names (an absent or empty name, or one that is
    // not installed, gives the system font), at `size` points.
    static text::Font resolveFont(const std::optional<std::string>& name, double size);

    // The box that holds `text` laid out within `boxWidth` points: the laid-out
    // width plus twice the stroke width, and the laid-out height plus 0.3 of
    // the font size, each rounded up and at most 2048. (0, 0) when `boxWidth`
    // is not above 0 or the font size is not one that text can be drawn at.
    // Lines that start below 2048 points, which no box shows, are not laid out
    // and widen nothing; of a text longer than text::maxLaidOutBytes only its
    // beginning is laid out, here and in render().
    static media::Size measureTextSize(std::string_view text, const TextStyle& style,
                                       double boxWidth);

    // What of `text` its measuring and drawing depend on: a text up to
    // text::maxLaidOutBytes whole, and as many bytes and one more (which tells
    // whether the cut falls inside a character) of a longer one. Caches of
    // rasters key on it, so that a key never copies millions of bytes.
    static std::string_view laidOutBytes(std::string_view text);

    // The glyphs of `text` laid out in a box of `boxSize` points, on a
    // transparent BGRA picture of twice the box (whole pixels). Null when a side
    // of the box is not above 0 or the picture would be larger than 4096 pixels
    // or smaller than 1. Lines that do not wholly fit the box are left out; a
    // box from measureTextSize holds them all. Nobody writes to the picture
    // afterwards: it may be cached and read from any thread. The picture's
    // memory comes from `buffers` when given.
    static media::PixelBuffer render(std::string_view text, const TextStyle& style,
                                     media::Size boxSize,
                                     media::PixelBufferRecycler* buffers = nullptr);
};

} // namespace vexel
