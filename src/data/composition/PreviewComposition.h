#pragma once

#include "platform/media/AudioMix.h"
#include "platform/media/Composition.h"
#include "platform/media/VideoComposition.h"

#include <optional>

namespace vexel {

// What the preview player plays: the finished composition, its video
// composition (absent without video entries) and its audio mix (absent
// without audio entries).
struct PreviewComposition {
    media::Composition composition;
    std::optional<media::VideoComposition> videoComposition;
    std::optional<media::AudioMix> audioMix;
};

} // namespace vexel
