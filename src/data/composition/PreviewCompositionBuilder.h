#pragma once

#include "data/composition/ColorAdjustInstruction.h"
#include "data/composition/VideoTrackEntry.h"
#include "foundation/Logger.h"
#include "platform/media/Composition.h"
#include "platform/media/Geometry.h"
#include "platform/media/MediaTime.h"
#include "platform/media/VideoComposition.h"

#include <memory>
#include <vector>

namespace vexel {

// Builds the preview's video composition from the video entries of a built
// composition. Every form has the entries' render size, a frame every 1/30 s
// and one instruction over [0, compositionDuration).
class PreviewCompositionBuilder {
public:
    PreviewCompositionBuilder() = delete;

    // The layer form, unless some entry has a geometric transition, one
    // whose easing is not linear, or a colour adjustment or filter preset
    // that changes its pixels: those need the frame compositor, which then
    // draws every frame, each clip layer with its own colour and filter as
    // the export does. It draws no overlays: the preview draws those over the
    // player. `logger` is the compositor's.
    static media::VideoComposition buildVideoComposition(
        const std::vector<VideoTrackEntry>& entries, const media::Composition& composition,
        const media::MediaTime& compositionDuration, std::shared_ptr<Logger> logger);

    // The layer form: transforms, crops and linear opacity ramps for every
    // transition, over black (LayerInstructionBuilder).
    static media::VideoComposition
    buildMutableVideoComposition(const std::vector<VideoTrackEntry>& entries,
                                 const media::Composition& composition,
                                 const media::MediaTime& compositionDuration);

    // The clip layer of one video entry for a render size: the fit transform
    // wrapped in flips between the bottom-left space of the compositor and
    // the top-left space of the fit; on screen over the entry's composition
    // times (not its clip times), with fade windows wherever it has
    // transitions, whatever their type.
    static ColorAdjustInstruction::Entry makeInstructionEntry(const VideoTrackEntry& entry,
                                                              media::Size renderSize);

private:
    static media::VideoComposition
    buildCustomCompositorVideoComposition(const std::vector<VideoTrackEntry>& entries,
                                          const media::MediaTime& compositionDuration,
                                          std::shared_ptr<Logger> logger);
};

} // namespace vexel
