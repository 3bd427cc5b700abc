#pragma once

#include "domain/entities/Clip.h"
#include "platform/media/PixelBuffer.h"
#include "presentation/cache/LruCache.h"

#include <QImage>
#include <QSizeF>

#include <cstddef>
#include <optional>
#include <string>

namespace vexel {

// The rasterised texts of the preview's text overlays by clip, style and box
// size, so that a text is laid out and drawn once rather than on every tick of
// the playhead. GUI thread only.
class TextRenderCache {
public:
    static constexpr std::size_t defaultCountLimit = 30;
    static constexpr std::size_t defaultTotalCostLimit = 100 * 1024 * 1024;

    explicit TextRenderCache(std::size_t countLimit = defaultCountLimit,
                             std::size_t totalCostLimit = defaultTotalCostLimit);

    // The clip's text (its asset name) in its style (the default style when it
    // has none) in a box of `boxSize` points, as measured by
    // TextRenderer::measureTextSize: an image of twice the box in pixels whose
    // device pixel ratio is 2, so that it is drawn the size of the box. A box
    // within the even rounding of the key finds the entry drawn for another
    // box of that rounding. Nothing (and nothing kept) when the text cannot be
    // drawn in the box.
    std::optional<QImage> image(const Clip& clip, QSizeF boxSize);
    // The same in `style` rather than the clip's own: the style the text is
    // drawn in, its font scaled to the picture on screen.
    std::optional<QImage> image(const Clip& clip, const TextStyle& style, QSizeF boxSize);

    // The key of a clip's text in a box, e.g. "<id>|Hello|48.0|white|white|0.0||0.0|200x60":
    // id, text, font size, text colour, stroke colour, stroke width, font name,
    // box width, then the box rounded down to even points. Nothing for a box
    // side that is not a finite number of a sensible size.
    static std::optional<std::string> cacheKey(const Clip& clip, QSizeF boxSize);
    static std::optional<std::string> cacheKey(const Clip& clip, const TextStyle& style,
                                               QSizeF boxSize);

    // For a project load: the next look-ups draw again.
    void removeAllObjects() { cache_.removeAllObjects(); }

    std::size_t count() const { return cache_.count(); }
    std::size_t totalCost() const { return cache_.totalCost(); }

private:
    LruCache<std::string, QImage> cache_;
    // Texts rasterised again at a size seen lately reuse released pixels.
    media::PixelBufferRecycler rasters_;
};

} // namespace vexel
