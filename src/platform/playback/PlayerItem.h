#pragma once

#include "platform/media/AudioMix.h"
#include "platform/media/Composition.h"
#include "platform/media/Geometry.h"
#include "platform/media/VideoComposition.h"

#include <optional>

namespace vexel::playback {

// What a player plays: a composition, how its video tracks become frames and
// how loud its audio tracks play. Without a video composition the item is
// sound only.
struct PlayerItem {
    media::Composition composition;
    std::optional<media::VideoComposition> videoComposition{};
    std::optional<media::AudioMix> audioMix{};

    media::MediaTime duration() const { return composition.duration(); }
    // The size frames are shown at: the render size in whole pixels, zero for
    // sound only.
    media::Size presentationSize() const;
};

} // namespace vexel::playback
