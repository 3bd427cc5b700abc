#include "presentation/cache/OverlayVisibilityCache.h"

#include <algorithm>
#include <cmath>

namespace vexel {

const std::vector<Clip>& OverlayVisibilityCache::visibleClips(const std::vector<Clip>& clips,
                                                              double time) {
    if (clipsChanged(clips)) {
        rebuildBoundaries(clips);
    }
    const int interval = findIntervalIndex(time);
    if (interval == cachedIntervalIndex_ && clips == sourceClips_) {
        return cachedResult_;
    }
    sourceClips_ = clips;
    cachedResult_.clear();
    std::copy_if(clips.begin(), clips.end(), std::back_inserter(cachedResult_),
                 [time](const Clip& clip) {
                     return clip.timeRange.startTime <= time &&
                            time < clip.timeRange.startTime + clip.timeRange.duration;
                 });
    cachedIntervalIndex_ = interval;
    ++filterPassCount_;
    return cachedResult_;
}

int OverlayVisibilityCache::findIntervalIndex(double time) const {
    const int count = static_cast<int>(boundaries_.size());
    // A time that is not a number makes no comparison true: without this test
    // it would land in interval 0, and the empty set it filters to would then
    // be returned for real times of interval 0.
    if (count == 0 || std::isnan(time) || time < boundaries_.front()) {
        return -1;
    }
    if (time >= boundaries_.back()) {
        return count;
    }
    int low = 0;
    int high = count - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (boundaries_[static_cast<std::size_t>(middle)] <= time) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

bool OverlayVisibilityCache::clipsChanged(const std::vector<Clip>& clips) const {
    return !std::equal(
        clips.begin(), clips.end(), sourceClips_.begin(), sourceClips_.end(),
        [](const Clip& a, const Clip& b) { return a.id == b.id && a.timeRange == b.timeRange; });
}

void OverlayVisibilityCache::rebuildBoundaries(const std::vector<Clip>& clips) {
    sourceClips_ = clips;
    boundaries_.clear();
    for (const Clip& clip : clips) {
        boundaries_.push_back(clip.timeRange.startTime);
        boundaries_.push_back(clip.timeRange.startTime + clip.timeRange.duration);
    }
    std::sort(boundaries_.begin(), boundaries_.end());
    boundaries_.erase(std::unique(boundaries_.begin(), boundaries_.end()), boundaries_.end());
    cachedIntervalIndex_ = noInterval;
}

} // namespace vexel
