#pragma once

#include "data/composition/VideoCompositionInputs.h"
#include "platform/media/AudioMix.h"
#include "platform/media/Composition.h"

#include <optional>

namespace vexel {

// What the preview player plays: the finished composition, what its video
// composition is made from (absent without video entries) and its audio mix
// (absent without audio entries).
struct PreviewComposition {
    media::Composition composition;
    std::optional<VideoCompositionInputs> videoCompositionInputs;
    std::optional<media::AudioMix> audioMix;
};

} // namespace vexel
