#include "data/composition/CompositionGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace vexel {

namespace {

using media::Affine;
using media::Rect;
using media::Size;

Rect frameOf(Size naturalSize) {
    return {{0, 0}, naturalSize};
}

// The crop as it can be applied: inside the unit square, or nothing when it
// keeps the whole frame. A stored rectangle is not range-checked, and one
// reaching outside the frame (or empty, or NaN) must not make the render
// size negative or not a number; an empty one keeps the whole frame.
std::optional<NormalizedRect> effectiveCrop(const std::optional<ClipTransform>& clipTransform) {
    if (!clipTransform || !clipTransform->cropRect) {
        return std::nullopt;
    }
    const NormalizedRect& crop = *clipTransform->cropRect;
    const double left = std::max(crop.x, 0.0);
    const double top = std::max(crop.y, 0.0);
    const double right = std::min(crop.x + crop.width, 1.0);
    const double bottom = std::min(crop.y + crop.height, 1.0);
    if (!(left < right && top < bottom)) {
        return std::nullopt;
    }
    constexpr double tolerance = 1e-9;
    if (left <= tolerance && top <= tolerance && right >= 1 - tolerance &&
        bottom >= 1 - tolerance) {
        return std::nullopt;
    }
    return NormalizedRect{left, top, right - left, bottom - top};
}

struct UprightFrame {
    // Turns and mirrors the source frame and moves it to start at (0, 0).
    Affine transform;
    // Where the turned and mirrored frame lay before that move.
    Rect bounds;
};

UprightFrame uprightFrame(Size naturalSize, const Affine& sourceTransform,
                          const std::optional<ClipTransform>& clipTransform) {
    Affine t = sourceTransform;
    if (clipTransform) {
        const Rect turned = sourceTransform.apply(frameOf(naturalSize));
        const double w = std::abs(turned.size.width);
        const double h = std::abs(turned.size.height);
        double rotatedWidth = w;
        double rotatedHeight = h;
        if (clipTransform->rotation != 0) {
            const double theta = clipTransform->rotation * std::numbers::pi / 180;
            t = t.then(Affine::translation(w / 2, h / 2))
                    .then(Affine::rotation(theta))
                    .then(Affine::translation(-w / 2, -h / 2));
            if (clipTransform->rotation == 90 || clipTransform->rotation == 270) {
                std::swap(rotatedWidth, rotatedHeight);
            }
        }
        if (clipTransform->flipHorizontal) {
            t = t.then(Affine::scale(-1, 1).then(Affine::translation(rotatedWidth, 0)));
        }
        if (clipTransform->flipVertical) {
            t = t.then(Affine::scale(1, -1).then(Affine::translation(0, rotatedHeight)));
        }
    }
    const Rect bounds = t.apply(frameOf(naturalSize));
    return {t.then(Affine::translation(-bounds.minX(), -bounds.minY())), bounds};
}

// The crop region in the upright frame's pixels.
Rect cropRegion(const NormalizedRect& crop, Size upright) {
    const double width = std::abs(upright.width);
    const double height = std::abs(upright.height);
    return {{crop.x * width, crop.y * height}, {crop.width * width, crop.height * height}};
}

bool isUsableSide(double side) {
    return side != 0 && !std::isnan(side);
}

} // namespace

media::Size CompositionGeometry::calculateRenderSize(const std::vector<VideoTrackEntry>& entries) {
    Size render{0, 0};
    for (const VideoTrackEntry& entry : entries) {
        const Rect turned = entry.transform.apply(frameOf(entry.naturalSize));
        double w = std::abs(turned.size.width);
        double h = std::abs(turned.size.height);
        if (entry.clipTransform) {
            if (entry.clipTransform->rotation == 90 || entry.clipTransform->rotation == 270) {
                std::swap(w, h);
            }
            if (auto crop = effectiveCrop(entry.clipTransform)) {
                w *= crop->width;
                h *= crop->height;
            }
        }
        render.width = std::max(render.width, w);
        render.height = std::max(render.height, h);
    }
    return render;
}

media::Affine CompositionGeometry::calculateFitTransform(
    media::Size naturalSize, const media::Affine& sourceTransform,
    const std::optional<ClipTransform>& clipTransform, std::optional<media::Size> renderSize) {
    auto [t, bounds] = uprightFrame(naturalSize, sourceTransform, clipTransform);
    Size fitted = bounds.size;
    if (auto crop = effectiveCrop(clipTransform)) {
        const Rect region = cropRegion(*crop, bounds.size);
        t = t.then(Affine::translation(-region.minX(), -region.minY()));
        fitted = region.size;
    }
    if (!renderSize || !isUsableSide(fitted.width) || !isUsableSide(fitted.height)) {
        return t;
    }
    const double fittedWidth = std::abs(fitted.width);
    const double fittedHeight = std::abs(fitted.height);
    const double s = std::min(renderSize->width / fittedWidth, renderSize->height / fittedHeight);
    if (std::abs(s - 1) > 1e-9) {
        t = t.then(Affine::scale(s, s));
    }
    const double dx = (renderSize->width - fittedWidth * s) / 2;
    const double dy = (renderSize->height - fittedHeight * s) / 2;
    if (std::abs(dx) > 1e-9 || std::abs(dy) > 1e-9) {
        t = t.then(Affine::translation(dx, dy));
    }
    return t;
}

std::optional<media::Rect>
CompositionGeometry::calculateCropRectangle(media::Size naturalSize,
                                            const media::Affine& sourceTransform,
                                            const std::optional<ClipTransform>& clipTransform) {
    auto crop = effectiveCrop(clipTransform);
    if (!crop) {
        return std::nullopt;
    }
    auto [t, bounds] = uprightFrame(naturalSize, sourceTransform, clipTransform);
    auto back = t.inverted();
    if (!back) {
        return std::nullopt;
    }
    const Rect source = back->apply(cropRegion(*crop, bounds.size));
    // Rounding of the turn may reach a hair outside the frame.
    const double left = std::max(source.minX(), 0.0);
    const double top = std::max(source.minY(), 0.0);
    const double right = std::min(source.maxX(), naturalSize.width);
    const double bottom = std::min(source.maxY(), naturalSize.height);
    if (!(left < right && top < bottom)) {
        return std::nullopt;
    }
    return Rect{{left, top}, {right - left, bottom - top}};
}

} // namespace vexel
