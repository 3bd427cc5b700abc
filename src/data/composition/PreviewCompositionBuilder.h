#pragma once

#include "data/composition/ColorAdjustInstruction.h"
#include "data/composition/VideoTrackEntry.h"
#include "platform/media/Geometry.h"

namespace vexel {

// Builds the preview's video composition from the video entries of a built
// composition.
class PreviewCompositionBuilder {
public:
    PreviewCompositionBuilder() = delete;

    // The clip layer of one video entry for a render size: the fit transform
    // wrapped in flips between the bottom-left space of the compositor and
    // the top-left space of the fit; on screen over the entry's composition
    // times (not its clip times), with fade windows wherever it has
    // transitions, whatever their type.
    static ColorAdjustInstruction::Entry makeInstructionEntry(const VideoTrackEntry& entry,
                                                              media::Size renderSize);
};

} // namespace vexel
