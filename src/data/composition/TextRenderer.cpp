#include "data/composition/TextRenderer.h"

#include "data/composition/TextOverlayCompositor.h"
#include "platform/text/FontResolver.h"
#include "platform/text/TextRasterizer.h"

#include <algorithm>
#include <cmath>

namespace vexel {

namespace {

// The outline width is a percentage of the font size. Text is laid out at the
// style's size and only painted larger; the raster's outline percentage is
// doubled along with the font size, so that outlines in the raster are twice
// as heavy, next to their glyphs, as plain enlarging would make them.
text::TextAttributes attributesFor(const TextStyle& style, double strokePercent) {
    text::TextAttributes attributes{
        .font = TextRenderer::resolveFont(style.fontName, style.fontSize),
        .foreground = TextOverlayCompositor::cgColor(style.textColor),
        .stroke = std::nullopt,
    };
    if (strokePercent > 0) {
        attributes.stroke = text::Stroke{
            .color = TextOverlayCompositor::cgColor(style.strokeColor),
            .width = style.fontSize * strokePercent / 100,
        };
    }
    return attributes;
}

bool isDrawableFontSize(double size) {
    return size > 0 && size <= text::maxPointSize;
}

// Rounded up into 0...2048; NaN counts as 0.
double boxSide(double value) {
    if (!(value > 0)) {
        return 0;
    }
    return std::ceil(std::min(value, TextRenderer::maxBoxDimension));
}

} // namespace

text::Font TextRenderer::resolveFont(const std::optional<std::string>& name, double size) {
    return text::resolveFont(name, size);
}

media::Size TextRenderer::measureTextSize(std::string_view text, const TextStyle& style,
                                          double boxWidth) {
    if (!(boxWidth > 0) || !isDrawableFontSize(style.fontSize)) {
        return {0, 0};
    }
    // Lines below the tallest box are never drawn: they are not laid out.
    const text::TextExtent laidOut =
        text::measureText(text, attributesFor(style, style.strokeWidth), boxWidth, maxBoxDimension);
    return {boxSide(laidOut.width + 2 * style.strokeWidth),
            boxSide(laidOut.height + 0.3 * style.fontSize)};
}

std::string_view TextRenderer::laidOutBytes(std::string_view text) {
    return text.substr(0, text::maxLaidOutBytes + 1);
}

media::PixelBuffer TextRenderer::render(std::string_view text, const TextStyle& style,
                                        media::Size boxSize, media::PixelBufferRecycler* buffers) {
    if (!(boxSize.width > 0 && boxSize.height > 0)) {
        return {};
    }
    // The comparisons also turn away NaN and infinite boxes.
    if (!(std::trunc(scale * boxSize.width) <= maxPixelDimension &&
          std::trunc(scale * boxSize.height) <= maxPixelDimension)) {
        return {};
    }
    return text::rasterizeText(text, attributesFor(style, scale * style.strokeWidth), boxSize.width,
                               boxSize.height, scale, buffers);
}

} // namespace vexel
