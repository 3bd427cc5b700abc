#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/ColorAdjust.h"
#include "domain/entities/FilterPreset.h"

#include <optional>
#include <vector>

namespace vexel {

// The colour adjustment and the filter in force at one moment of the preview.
struct VideoEffects {
    std::optional<ColorAdjust> colorAdjust;
    std::optional<FilterPreset> filter;

    // The effects of the first clip of `clips` (in list order) whose range
    // holds `time` (its start counts, its end does not), leaving out a neutral
    // colour adjustment and a "none" or unnamed filter; nothing when no clip
    // holds the time or nothing remains.
    static std::optional<VideoEffects> active(double time, const std::vector<Clip>& clips);

    friend bool operator==(const VideoEffects&, const VideoEffects&) = default;
};

} // namespace vexel
