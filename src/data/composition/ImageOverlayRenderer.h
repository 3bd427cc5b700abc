#pragma once

#include "data/composition/ColorAdjustInstruction.h"
#include "domain/entities/ImageAnimation.h"
#include "platform/image/Picture.h"
#include "platform/media/Geometry.h"
#include "platform/media/MediaTime.h"

namespace vexel {

// The motion of an image overlay over its time on screen. Stateless and safe
// on any number of threads at once.
class ImageOverlayRenderer {
public:
    ImageOverlayRenderer() = delete;

    // A shake moves this many pixels per unit of intensity at most, over this
    // many full cycles, vertically at this fraction of the horizontal frequency.
    static constexpr double shakeAmplitude = 20;
    static constexpr double shakeCycles = 8;
    static constexpr double shakeVerticalFrequency = 0.7;

    // The placed image (OverlayRenderer::positionImageOverlay) moved by its
    // animation at composition time `time`, with the progress over the entry's
    // time on screen eased by the animation's curve (1 throughout when that
    // time is empty): Ken Burns crops the framing between two rectangles of the
    // image (fractions, y up from its bottom edge) and enlarges it to cover the
    // frame; zoomIn and zoomOut scale about the frame's centre (1 to factor,
    // factor to 1); pan moves by a distance in frames; shake jitters; rotate
    // turns about the image's centre. A Ken Burns rectangle that keeps nothing
    // of the image, and numbers that are not finite, leave the image as placed.
    static image::Picture applyAnimation(const image::Picture& image,
                                         const ImageAnimation& animation,
                                         const ColorAdjustInstruction::ImageOverlayEntry& entry,
                                         media::Size renderSize, const media::MediaTime& time);
};

} // namespace vexel
