#pragma once

#include "domain/entities/Direction.h"
#include "domain/utilities/TextAnimationState.h"
#include "platform/image/Picture.h"
#include "platform/media/Affine.h"
#include "platform/media/Geometry.h"

namespace vexel {

// The motion and the wipe of an animated text overlay, from the state the
// text-animation arithmetic gives for a moment. Stateless and safe on any
// number of threads at once.
class TextOverlayRenderer {
public:
    TextOverlayRenderer() = delete;

    // Scales and offsets in pixels smaller than this are not applied.
    static constexpr double motionThreshold = 0.001;

    // The placed text (OverlayRenderer::positionTextOverlay) scaled by the
    // state's scale about its own centre, then moved by the state's offsets
    // (fractions of the frame, y down) in pixels of a frame of `renderSize`.
    // The state's opacity and mask are not looked at. Numbers that are not
    // finite leave the text where it was.
    static image::Picture applyAnimationTransforms(const image::Picture& image,
                                                   const TextAnimationState& state,
                                                   media::Size renderSize);

    // That motion for a placed text whose extent is `extent`: what
    // applyAnimationTransforms moves it by, for drawing it elsewhere. A part
    // whose numbers are not finite is left out.
    static media::Affine animationTransform(const media::Rect& extent,
                                            const TextAnimationState& state,
                                            media::Size renderSize);

    // The part of the text a wipe has uncovered at `progress` (0 nothing, 1
    // all; limited to 0...1, NaN counting as 0): that share of its extent's
    // width from the left edge for `left`, from the right edge for `right`,
    // of its height from the top for `up` and from the bottom for `down`.
    static image::Picture applyWipeMask(const image::Picture& image, double progress,
                                        Direction direction);

    // The part of `extent` that applyWipeMask keeps.
    static media::Rect wipeRect(const media::Rect& extent, double progress, Direction direction);
};

} // namespace vexel
