#pragma once

#include "data/composition/VideoCompositionInputs.h"
#include "platform/media/AudioMix.h"
#include "platform/media/Composition.h"

#include <optional>

namespace vexel {

// What the export reads: the finished composition, what its export video
// composition is made from, overlays included (absent without video
// entries), and its audio mix (absent without audio entries).
struct ExportComposition {
    media::Composition composition;
    std::optional<VideoCompositionInputs> videoCompositionInputs;
    std::optional<media::AudioMix> audioMix;
};

} // namespace vexel
