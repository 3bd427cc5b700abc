#include "presentation/helpers/VideoEffects.h"

#include <algorithm>

namespace vexel {

std::optional<VideoEffects> VideoEffects::active(double time, const std::vector<Clip>& clips) {
    const auto clip = std::find_if(clips.begin(), clips.end(), [time](const Clip& candidate) {
        return candidate.timeRange.startTime <= time &&
               time < candidate.timeRange.startTime + candidate.timeRange.duration;
    });
    if (clip == clips.end()) {
        return std::nullopt;
    }
    VideoEffects effects;
    if (clip->colorAdjust && !clip->colorAdjust->isNeutral()) {
        effects.colorAdjust = clip->colorAdjust;
    }
    if (clip->filter && clip->filter->isActive()) {
        effects.filter = clip->filter;
    }
    if (!effects.colorAdjust && !effects.filter) {
        return std::nullopt;
    }
    return effects;
}

} // namespace vexel
