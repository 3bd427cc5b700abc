#pragma once

#include "domain/entities/ClipTransform.h"
#include "domain/entities/ColorAdjust.h"
#include "domain/entities/FilterPreset.h"
#include "domain/entities/TransitionEffect.h"
#include "platform/media/Affine.h"
#include "platform/media/Geometry.h"
#include "platform/media/MediaTime.h"

#include <cstdint>
#include <optional>

namespace vexel {

// One clip (or the black carrier) placed on a composition video track of its
// own. The clip times keep the clip's place on the timeline; the composition
// times are where its media lies in the composition, earlier by the
// cross-dissolves before it on its track.
struct VideoTrackEntry {
    std::int32_t trackID = 0;
    // The source track's preferred transform (top-left coordinates).
    media::Affine transform{};
    media::Size naturalSize{};
    media::MediaTime clipStartTime{};
    media::MediaTime clipEndTime{};
    float opacity = 1;
    std::optional<ColorAdjust> colorAdjust;
    std::optional<ClipTransform> clipTransform;
    std::optional<TransitionEffect> transitionIn;
    std::optional<TransitionEffect> transitionOut;
    std::optional<FilterPreset> filter;
    media::MediaTime compositionStartTime{};
    media::MediaTime compositionEndTime{};

    friend bool operator==(const VideoTrackEntry&, const VideoTrackEntry&) = default;
};

} // namespace vexel
