#pragma once

#include "data/composition/VideoTrackEntry.h"
#include "platform/media/Composition.h"
#include "platform/media/Geometry.h"
#include "platform/media/LayerVideoCompositionInstruction.h"

#include <optional>
#include <vector>

namespace vexel {

// The layers of the built-in layer form, which places, crops and fades clip
// tracks but draws no colour, filter or geometric transition.
class LayerInstructionBuilder {
public:
    LayerInstructionBuilder() = delete;

    // One layer per video entry whose track is a video track of
    // `composition`, in entry order (the media layer draws the first on top);
    // entries without such a track are left out. Each layer is fitted into
    // `renderSize` (only turned upright and mirrored without one) and cut to
    // the clip's crop; its opacity is 0 before the entry's composition start
    // (from time zero, when it starts later or has an entrance), rises
    // linearly to the entry's opacity over an entrance, falls linearly to 0
    // over an exit, and is 0 from the entry's end, whatever the transitions'
    // types and easings. A transition of no length is a step; the part of a
    // ramp before time zero is cut off. The one exception is the lower clip
    // of a cross-dissolve pair (CrossDissolvePair), which the upper one
    // fades out over: it stays at its own opacity under an opaque upper clip,
    // so that the pair shows the linear mix rather than darkening mid-way.
    static std::vector<media::VideoCompositionLayerInstruction>
    buildMutableLayerInstructions(const std::vector<VideoTrackEntry>& entries,
                                  const media::Composition& composition,
                                  std::optional<media::Size> renderSize);
};

} // namespace vexel
