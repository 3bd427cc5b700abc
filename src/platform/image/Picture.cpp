#include "platform/image/Picture.h"

#include "platform/image/CanvasSpace.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

namespace vexel::image {

using media::Affine;
using media::Rect;

namespace {

bool isFinite(const Affine& t) {
    return std::isfinite(t.a) && std::isfinite(t.b) && std::isfinite(t.c) && std::isfinite(t.d) &&
           std::isfinite(t.tx) && std::isfinite(t.ty);
}

bool isFinite(const Rect& r) {
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height);
}

// Axis-aligned maps keep rectangles rectangles.
bool isAxisAligned(const Affine& t) {
    return t.b == 0 && t.c == 0;
}

// The same rectangle with a non-negative width and height.
Rect standardized(const Rect& r) {
    return Affine::identity().apply(r);
}

Rect intersection(const Rect& first, const Rect& second) {
    double minX = std::max(first.minX(), second.minX());
    double minY = std::max(first.minY(), second.minY());
    double maxX = std::min(first.maxX(), second.maxX());
    double maxY = std::min(first.maxY(), second.maxY());
    if (!(minX < maxX && minY < maxY)) {
        return {};
    }
    return {{minX, minY}, {maxX - minX, maxY - minY}};
}

bool isEmptyRect(const Rect& r) {
    return !(r.size.width > 0 && r.size.height > 0);
}

// An EXIF orientation as a map from the stored picture, w x h, to the upright
// one, both with the origin at the top left.
Affine exifTopLeft(int orientation, double w, double h) {
    switch (orientation) {
    case 2:
        return {-1, 0, 0, 1, w, 0};
    case 3:
        return {-1, 0, 0, -1, w, h};
    case 4:
        return {1, 0, 0, -1, 0, h};
    case 5:
        return {0, 1, 1, 0, 0, 0};
    case 6:
        return {0, 1, -1, 0, h, 0};
    case 7:
        return {0, -1, -1, 0, h, w};
    case 8:
        return {0, -1, 1, 0, 0, w};
    default:
        return {};
    }
}

} // namespace

Picture::Picture(media::PixelBuffer pixels)
    : pixels_(std::move(pixels)) {
    if (pixels_.isNull()) {
        throw std::invalid_argument("a picture needs pixels");
    }
}

bool Picture::isEmpty() const {
    return alpha_ == 0 || isEmptyRect(extent());
}

Rect Picture::extent() const {
    if (collapsed_) {
        return {};
    }
    Rect box = transform_.apply(Rect{
        {0, 0}, {static_cast<double>(pixels_.width()), static_cast<double>(pixels_.height())}});
    for (const Clip& clip : clips()) {
        // Clip maps are built from inverses, so only rounding could make one
        // singular, and then nothing is kept.
        std::optional<Affine> back = clip.canvasToClip.inverted();
        if (!back) {
            return {};
        }
        box = intersection(box, back->apply(clip.rect));
    }
    return isEmptyRect(box) ? Rect{} : box;
}

Picture Picture::transformed(const Affine& next) const {
    if (!isFinite(next)) {
        throw std::invalid_argument("picture transform is not finite");
    }
    Picture moved = *this;
    moved.transform_ = transform_.then(next);
    std::optional<Affine> back = next.inverted();
    if (!back || !moved.transform_.inverted()) {
        moved.collapsed_ = true;
        return moved;
    }
    for (int i = 0; i < clipCount_; ++i) {
        moved.clips_[i].canvasToClip = back->then(clips_[i].canvasToClip);
    }
    return moved;
}

Picture Picture::cropped(const Rect& rect) const {
    if (!isFinite(rect)) {
        throw std::invalid_argument("crop rectangle is not finite");
    }
    Picture cut = *this;
    Rect kept = standardized(rect);
    for (int i = 0; i < clipCount_; ++i) {
        Clip& clip = cut.clips_[i];
        if (isAxisAligned(clip.canvasToClip)) {
            clip.rect = intersection(clip.rect, clip.canvasToClip.apply(kept));
            return cut;
        }
    }
    if (clipCount_ == maxClips) {
        throw std::length_error("too many crops on one picture");
    }
    cut.clips_[clipCount_] = Clip{kept, Affine::identity()};
    ++cut.clipCount_;
    return cut;
}

Picture Picture::withAlpha(double alpha) const {
    if (!std::isfinite(alpha)) {
        throw std::invalid_argument("alpha is not finite");
    }
    Picture faded = *this;
    faded.alpha_ = alpha_ * std::clamp(alpha, 0.0, 1.0);
    return faded;
}

Picture Picture::withColor(const ColorOperation& operation) const {
    if (colorOperationCount_ == maxColorOperations) {
        throw std::length_error("too many colour steps on one picture");
    }
    Picture coloured = *this;
    coloured.colorOperations_[colorOperationCount_] = operation;
    ++coloured.colorOperationCount_;
    return coloured;
}

Picture Picture::orientExif(int orientation) const {
    if (orientation < 2 || orientation > 8) {
        return *this;
    }
    Rect box = extent();
    double w = box.size.width;
    double h = box.size.height;
    double uprightHeight = orientation >= 5 ? w : h;
    Affine upright =
        Affine::translation(-box.minX(), -box.minY())
            .then(bottomLeftTransform(exifTopLeft(orientation, w, h), h, uprightHeight))
            .then(Affine::translation(box.minX(), box.minY()));
    return transformed(upright);
}

} // namespace vexel::image
