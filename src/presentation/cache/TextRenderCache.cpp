#include "presentation/cache/TextRenderCache.h"

#include "data/composition/TextRenderer.h"
#include "foundation/NumberText.h"
#include "presentation/cache/PixelBufferImage.h"

#include <cmath>
#include <cstdint>

namespace vexel {

namespace {

// Larger boxes are refused by the renderer long before this; the bound only
// keeps the rounding of the key inside an integer.
constexpr double keyableBoxSide = 1e9;

std::int64_t evenPoints(double side) {
    return 2 * static_cast<std::int64_t>(std::trunc(side / 2));
}

} // namespace

TextRenderCache::TextRenderCache(std::size_t countLimit, std::size_t totalCostLimit)
    : cache_(countLimit, totalCostLimit) {}

std::optional<std::string> TextRenderCache::cacheKey(const Clip& clip, QSizeF boxSize) {
    return cacheKey(clip, clip.textStyle.value_or(TextStyle::defaultStyle()), boxSize);
}

std::optional<std::string> TextRenderCache::cacheKey(const Clip& clip, const TextStyle& style,
                                                     QSizeF boxSize) {
    if (!(std::abs(boxSize.width()) < keyableBoxSide &&
          std::abs(boxSize.height()) < keyableBoxSide)) {
        return std::nullopt;
    }
    std::string key = clip.id.string();
    for (const std::string& part :
         {std::string(TextRenderer::laidOutBytes(clip.assetName)), formatNumber(style.fontSize),
          style.textColor, style.strokeColor, formatNumber(style.strokeWidth),
          style.fontName.value_or(""), formatNumber(style.boxWidth.value_or(0.0))}) {
        key += '|';
        key += part;
    }
    key += '|';
    key += formatInteger(evenPoints(boxSize.width()));
    key += 'x';
    key += formatInteger(evenPoints(boxSize.height()));
    return key;
}

std::optional<QImage> TextRenderCache::image(const Clip& clip, QSizeF boxSize) {
    return image(clip, clip.textStyle.value_or(TextStyle::defaultStyle()), boxSize);
}

std::optional<QImage> TextRenderCache::image(const Clip& clip, const TextStyle& style,
                                             QSizeF boxSize) {
    const std::optional<std::string> key = cacheKey(clip, style, boxSize);
    if (!key) {
        return std::nullopt;
    }
    if (std::optional<QImage> cached = cache_.object(*key)) {
        return cached;
    }
    const media::PixelBuffer raster =
        TextRenderer::render(clip.assetName, style, {boxSize.width(), boxSize.height()}, &rasters_);
    if (raster.isNull()) {
        return std::nullopt;
    }
    // The raster shown as it is: Qt copies the pixels only if someone writes
    // to them, which nobody does.
    QImage image = imageOfPixels(raster);
    image.setDevicePixelRatio(TextRenderer::scale);
    // The raster was drawn, so each side is at most 2048 points: no overflow.
    const auto cost = static_cast<std::size_t>((2 * boxSize.width()) * (2 * boxSize.height()) * 4);
    cache_.setObject(*key, image, cost);
    return image;
}

} // namespace vexel
