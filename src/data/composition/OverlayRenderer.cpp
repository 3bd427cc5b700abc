#include "data/composition/OverlayRenderer.h"

#include "data/composition/OverlayGeometry.h"
#include "data/composition/TextRenderer.h"
#include "platform/image/CanvasSpace.h"
#include "platform/image/ColorOperation.h"
#include "platform/image/Compositing.h"

#include <algorithm>
#include <cmath>

namespace vexel {

using media::Affine;
using media::Rect;
using OverlayGeometry::about;
using OverlayGeometry::isFinite;

namespace {

bool isFiniteAdjust(const ColorAdjust& adjust) {
    return std::isfinite(adjust.brightness) && std::isfinite(adjust.contrast) &&
           std::isfinite(adjust.saturation);
}

// The pixel rectangle a crop of fractions keeps of a w x h picture that sits
// at the origin: whole parts of the fractions, y from the top, limited to the
// picture. Nothing when that keeps nothing.
std::optional<Rect> cropRectangle(const NormalizedRect& crop, double w, double h) {
    const double x = std::trunc(crop.x * w);
    const double y = std::trunc(crop.y * h);
    const double width = std::trunc(crop.width * w);
    const double height = std::trunc(crop.height * h);
    if (!(std::isfinite(x) && std::isfinite(y) && std::isfinite(width) && std::isfinite(height))) {
        return std::nullopt;
    }
    // A rectangle of negative size spans back from its origin.
    const double left = std::max(std::min(x, x + width), 0.0);
    const double right = std::min(std::max(x, x + width), w);
    const double top = std::max(std::min(y, y + height), 0.0);
    const double bottom = std::min(std::max(y, y + height), h);
    if (!(left < right && top < bottom)) {
        return std::nullopt;
    }
    return image::bottomLeftRect({{left, top}, {right - left, bottom - top}}, h);
}

double outputFontSize(double fontSize, double renderHeight) {
    return renderHeight > 0 ? fontSize * renderHeight / OverlayRenderer::referenceHeight : fontSize;
}

double boxWidthFraction(const TextStyle& style) {
    return style.boxWidth.value_or(TextStyle::defaultBoxWidth);
}

} // namespace

media::PixelBuffer OverlayRenderer::loadProcessedImage(
    const std::filesystem::path& path, const std::optional<ColorAdjust>& colorAdjust,
    const std::optional<FilterPreset>& filter, const std::optional<ClipTransform>& clipTransform,
    WorkerPool& workers) {
    const std::optional<imageio::ImageSource> source = imageio::ImageSource::open(path);
    if (!source) {
        return {};
    }
    const media::PixelBuffer decoded = source->decodeImage();
    if (decoded.isNull()) {
        return {};
    }
    // Every step is noted on one picture and drawn in a single pass at the end.
    image::Picture picture = applyEXIFOrientation(*source, image::Picture(decoded));
    bool changed = source->orientation() != 1;
    if (colorAdjust && !colorAdjust->isNeutral() && isFiniteAdjust(*colorAdjust)) {
        picture = picture.colorControls(colorAdjust->brightness, colorAdjust->contrast,
                                        colorAdjust->saturation);
        changed = true;
    }
    if (filter && filter->isActive() && std::isfinite(filter->intensity)) {
        if (const std::optional<image::ColorOperation> preset =
                image::filterPreset(filter->name, filter->intensity)) {
            picture = picture.withColor(*preset);
            changed = true;
        }
    }
    if (clipTransform && clipTransform->cropRect) {
        const Rect upright = picture.extent();
        if (const std::optional<Rect> kept =
                cropRectangle(*clipTransform->cropRect, upright.size.width, upright.size.height)) {
            picture = picture.cropped(*kept);
            changed = true;
        }
    }
    if (!changed) {
        return decoded;
    }
    return image::render(picture, workers);
}

image::Picture OverlayRenderer::applyEXIFOrientation(const imageio::ImageSource& source,
                                                     const image::Picture& image) {
    return image.orientExif(source.orientation());
}

std::optional<image::Picture>
OverlayRenderer::positionImageOverlay(const media::PixelBuffer& image,
                                      const ColorAdjustInstruction::ImageOverlayEntry& entry,
                                      media::Size renderSize) {
    if (image.isNull()) {
        return std::nullopt;
    }
    const double w = image.width();
    const double h = image.height();
    image::Picture picture(image);
    if (entry.clipTransform) {
        const ClipTransform& clip = *entry.clipTransform;
        Affine turn = Affine::identity();
        if (clip.rotation != 0) {
            turn = about(OverlayGeometry::rotationDegrees(clip.rotation), {w / 2, h / 2});
        }
        if (clip.flipHorizontal) {
            turn = turn.then(Affine::scale(-1, 1)).then(Affine::translation(w, 0));
        }
        if (clip.flipVertical) {
            turn = turn.then(Affine::scale(1, -1)).then(Affine::translation(0, h));
        }
        if (!turn.isIdentity()) {
            picture = picture.transformed(turn);
            const Rect turned = picture.extent();
            if (turned.minX() != 0 || turned.minY() != 0) {
                picture = picture.transformed(Affine::translation(-turned.minX(), -turned.minY()));
            }
        }
    }
    const Rect extent = picture.extent();
    const double ew = extent.size.width;
    const double eh = extent.size.height;
    // The fit divides by the extent.
    if (!(ew > 0 && eh > 0)) {
        return std::nullopt;
    }
    const double frameWidth = renderSize.width;
    const double frameHeight = renderSize.height;
    const double fit = std::min(frameWidth / ew, frameHeight / eh);
    const OverlayTransform overlay = entry.overlayTransform.value_or(OverlayTransform{});
    double scale = fit;
    media::Point corner{(frameWidth - fit * ew) / 2, (frameHeight - fit * eh) / 2};
    if (std::abs(overlay.x - 0.5) >= neutralTolerance ||
        std::abs(overlay.y - 0.5) >= neutralTolerance ||
        std::abs(overlay.scale - 1) >= neutralTolerance) {
        scale = fit * overlay.scale;
        corner = {overlay.x * frameWidth - scale * ew / 2,
                  (1 - overlay.y) * frameHeight - scale * eh / 2};
    }
    const Affine placement =
        Affine::scale(scale, scale).then(Affine::translation(corner.x, corner.y));
    if (!isFinite(placement)) {
        return std::nullopt;
    }
    return picture.transformed(placement);
}

TextStyle OverlayRenderer::outputTextStyle(const TextStyle& style, media::Size renderSize) {
    TextStyle output = style;
    output.fontSize = outputFontSize(style.fontSize, renderSize.height);
    return output;
}

double OverlayRenderer::outputBoxWidth(const TextStyle& style, media::Size renderSize) {
    return boxWidthFraction(style) * renderSize.width;
}

media::PixelBuffer
OverlayRenderer::renderTextImage(const ColorAdjustInstruction::TextOverlayEntry& entry,
                                 media::Size renderSize) {
    if (entry.text.empty()) {
        return {};
    }
    const TextStyle style = outputTextStyle(entry.style, renderSize);
    const double boxWidth = outputBoxWidth(entry.style, renderSize);
    const media::Size box = TextRenderer::measureTextSize(entry.text, style, boxWidth);
    if (!(box.width > 0 && box.height > 0)) {
        return {};
    }
    return TextRenderer::render(entry.text, style, box);
}

double OverlayRenderer::textYOrigin(const TextPosition& position, double renderHeight,
                                    double scaledLayerHeight) {
    double y = 0;
    switch (position.kind()) {
    case TextPosition::Kind::center:
        y = (renderHeight - scaledLayerHeight) / 2;
        break;
    case TextPosition::Kind::top:
        y = topAnchor * renderHeight - scaledLayerHeight / 2;
        break;
    case TextPosition::Kind::bottom:
        y = (1 - topAnchor) * renderHeight - scaledLayerHeight / 2;
        break;
    case TextPosition::Kind::custom:
        y = (1 - position.y()) * renderHeight - scaledLayerHeight / 2;
        break;
    }
    return std::max(std::min(y, renderHeight - scaledLayerHeight), 0.0);
}

std::optional<image::Picture>
OverlayRenderer::positionTextOverlay(const media::PixelBuffer& raster,
                                     const ColorAdjustInstruction::TextOverlayEntry& entry,
                                     media::Size renderSize) {
    if (raster.isNull()) {
        return std::nullopt;
    }
    // The raster holds two pixels per frame pixel each way.
    const std::optional<Affine> placement =
        textPlacement({raster.width() / TextRenderer::scale, raster.height() / TextRenderer::scale},
                      entry, renderSize);
    if (!placement) {
        return std::nullopt;
    }
    return image::Picture(raster).transformed(
        Affine::scale(1 / TextRenderer::scale, 1 / TextRenderer::scale).then(*placement));
}

std::optional<Affine>
OverlayRenderer::textPlacement(media::Size box,
                               const ColorAdjustInstruction::TextOverlayEntry& entry,
                               media::Size renderSize) {
    const double frameWidth = renderSize.width;
    const double frameHeight = renderSize.height;
    const double iw = box.width;
    const double ih = box.height;
    const double layerHeight = std::max(
        layerHeightFactor * outputFontSize(entry.style.fontSize, frameHeight), minimumLayerHeight);
    const double y = textYOrigin(entry.position, frameHeight, layerHeight);
    const double boxWidth = boxWidthFraction(entry.style) * frameWidth;
    double boxLeft = (frameWidth - boxWidth) / 2;
    if (entry.position.isCustom()) {
        boxLeft = std::max(
            std::min(entry.position.x() * frameWidth - boxWidth / 2, frameWidth - boxWidth), 0.0);
    }
    const double x = boxLeft + (boxWidth - iw) / 2;
    Affine placement = Affine::translation(x, y);
    if (entry.textScale && *entry.textScale != 1) {
        placement = placement.then(
            about(Affine::scale(*entry.textScale, *entry.textScale), {x + iw / 2, y + ih / 2}));
    }
    if (!isFinite(placement)) {
        return std::nullopt;
    }
    return placement;
}

} // namespace vexel
