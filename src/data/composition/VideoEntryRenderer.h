#pragma once

#include "data/composition/ColorAdjustInstruction.h"
#include "data/composition/FrameCanvas.h"
#include "domain/entities/FilterPreset.h"
#include "platform/image/Picture.h"
#include "platform/media/Geometry.h"
#include "platform/media/MediaTime.h"
#include "platform/media/PixelBuffer.h"

#include <optional>

namespace vexel {

// Draws one clip layer of the frame compositor: the source frame placed in
// the frame, with the clip's colour controls and filter preset, and either
// the geometric transform of the transition under way or the opacity of its
// fades and of the clip itself. Stateless; every function is pure and may run
// on any number of threads at once. Geometry is in the bottom-up canvas space
// of a canvas `canvasSize` large (the instruction's render size).
class VideoEntryRenderer {
public:
    VideoEntryRenderer() = delete;

    // The layer as drawn at `time`. Throws std::invalid_argument when the
    // entry's numbers leave no finite placement.
    static image::Picture layer(const ColorAdjustInstruction::Entry& entry,
                                const media::PixelBuffer& sourceBuffer,
                                const media::MediaTime& time, media::Size canvasSize);

    // Draws that layer over the frame drawn so far. A layer that cannot be
    // placed is left out.
    static void composite(const ColorAdjustInstruction::Entry& entry,
                          const media::PixelBuffer& sourceBuffer, FrameCanvas& canvas,
                          const media::MediaTime& time, media::Size canvasSize);

    // The picture through the preset of that exact, case-sensitive name
    // ("sepia" and "grayscale" at the preset's intensity, "noir" without it);
    // nothing for "none", the empty name, any other name, or an intensity
    // that is not a number.
    static std::optional<image::Picture> applyFilterPreset(const FilterPreset& preset,
                                                           const image::Picture& picture);

    // The entrance transition's transform at `time`: the picture moved, cut,
    // turned or scaled by its eased progress through the entrance window.
    // Unchanged when the entry has no geometric entrance, its window is
    // missing or empty, or the progress has reached the end.
    static image::Picture applyTransitionTransform(const image::Picture& picture,
                                                   const ColorAdjustInstruction::Entry& entry,
                                                   media::Size canvasSize,
                                                   const media::MediaTime& time);

    // The same for the exit transition through the exit window; unchanged
    // while the progress is still at its start.
    static image::Picture applyExitTransitionTransform(const image::Picture& picture,
                                                       const ColorAdjustInstruction::Entry& entry,
                                                       media::Size canvasSize,
                                                       const media::MediaTime& time);

private:
    static image::Picture applySpin(const image::Picture& picture, double progress,
                                    media::Size canvasSize);
    static image::Picture applyExitSpin(const image::Picture& picture, double progress,
                                        media::Size canvasSize);
};

} // namespace vexel
