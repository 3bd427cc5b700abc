#pragma once

#include "data/composition/VideoTrackEntry.h"
#include "domain/entities/Clip.h"
#include "platform/media/MediaTime.h"

#include <vector>

namespace vexel {

// What the video composition of a built composition is made from, handed to
// the preview's or the export's video composition builder: the clips' video
// entries (the carrier last), the length to cover and, for the export, the
// project's text and image clips that it draws over them.
struct VideoCompositionInputs {
    std::vector<VideoTrackEntry> entries;
    media::MediaTime compositionDuration{};
    // Empty for the preview, which draws its overlays over the player.
    std::vector<Clip> textClips;
    std::vector<Clip> imageClips;

    friend bool operator==(const VideoCompositionInputs&, const VideoCompositionInputs&) = default;
};

} // namespace vexel
