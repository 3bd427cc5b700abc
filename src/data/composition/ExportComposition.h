#pragma once

#include "platform/media/AudioMix.h"
#include "platform/media/Composition.h"
#include "platform/media/VideoComposition.h"

#include <optional>

namespace vexel {

// What the export reads: the finished composition, its export video
// composition, overlays included (absent without video entries), and its
// audio mix (absent without audio entries).
struct ExportComposition {
    media::Composition composition;
    std::optional<media::VideoComposition> videoComposition;
    std::optional<media::AudioMix> audioMix;
};

} // namespace vexel
