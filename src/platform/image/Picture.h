#pragma once

#include "platform/image/ColorOperation.h"
#include "platform/media/Affine.h"
#include "platform/media/Geometry.h"
#include "platform/media/PixelBuffer.h"

#include <array>
#include <span>

namespace vexel::image {

// A picture on its way to a canvas: pixels plus what is still to be done to
// them, a transform onto the canvas, crops, colour steps and an alpha. The
// operations only note what is asked (the pixels are shared, never touched),
// so that moving, turning, fading and masking a layer cost nothing until one
// kernel samples the pixels once and draws the result (see Compositing.h).
// Geometry is in the bottom-up canvas space of CanvasSpace.h. A value type:
// every operation returns a changed copy. Non-finite numbers are refused with
// std::invalid_argument.
class Picture {
public:
    // What a crop keeps: the canvas points p with canvasToClip(p) inside rect.
    struct Clip {
        media::Rect rect;
        media::Affine canvasToClip;
        friend bool operator==(const Clip&, const Clip&) = default;
    };

    static constexpr int maxColorOperations = 4;
    static constexpr int maxClips = 4;

    // The whole buffer with its bottom-left corner at the canvas origin, one
    // pixel per unit. Throws std::invalid_argument for a null buffer.
    explicit Picture(media::PixelBuffer pixels);

    const media::PixelBuffer& pixels() const { return pixels_; }
    // Maps the buffer's own bottom-up pixel space onto the canvas.
    const media::Affine& transform() const { return transform_; }
    double alpha() const { return alpha_; }
    std::span<const ColorOperation> colorOperations() const {
        return {colorOperations_.data(), static_cast<std::size_t>(colorOperationCount_)};
    }
    std::span<const Clip> clips() const {
        return {clips_.data(), static_cast<std::size_t>(clipCount_)};
    }
    // True when nothing of it can show: scaled to nothing, cropped away or
    // fully transparent.
    bool isEmpty() const;

    // The bounding box of what can show, on the canvas; empty when isEmpty().
    media::Rect extent() const;

    // Moves the picture on: this transform, then `next`.
    Picture transformed(const media::Affine& next) const;
    // Keeps only the part inside `rect` (canvas coordinates, edges sharp).
    // Throws std::length_error past maxClips crops that cannot be merged.
    Picture cropped(const media::Rect& rect) const;
    // Multiplies the alpha by `alpha`, limited to 0...1.
    Picture withAlpha(double alpha) const;
    // Adds a colour step after those already there. Throws std::length_error
    // past maxColorOperations steps: render the picture first.
    Picture withColor(const ColorOperation& operation) const;

    Picture colorControls(double brightness, double contrast, double saturation) const {
        return withColor(ColorOperation::colorControls(brightness, contrast, saturation));
    }
    Picture sepia(double intensity) const { return withColor(ColorOperation::sepia(intensity)); }
    Picture grayscale(double intensity) const {
        return withColor(ColorOperation::grayscale(intensity));
    }
    Picture noir() const { return withColor(ColorOperation::noir()); }

    // Turns the picture upright by an EXIF orientation (1 to 8: as stored,
    // mirrored, half turn, flipped, transposed, quarter turn clockwise,
    // transversed, quarter turn anticlockwise) within its extent, whose
    // bottom-left corner stays where it is. Any other value changes nothing.
    // Exact: quarter turns and mirrors move whole pixels.
    Picture orientExif(int orientation) const;

private:
    media::PixelBuffer pixels_;
    media::Affine transform_;
    double alpha_ = 1;
    // Set when a transform collapsed the picture to a line or a point.
    bool collapsed_ = false;
    std::array<ColorOperation, maxColorOperations> colorOperations_{};
    int colorOperationCount_ = 0;
    std::array<Clip, maxClips> clips_{};
    int clipCount_ = 0;
};

} // namespace vexel::image
