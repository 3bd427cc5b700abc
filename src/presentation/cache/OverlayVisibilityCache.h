#pragma once

#include "domain/entities/Clip.h"

#include <cstddef>
#include <vector>

namespace vexel {

// Which overlay clips are visible at the playhead, answered without filtering
// the clip list on every tick: the clips' start and end times cut the timeline
// into intervals inside which the visible set cannot change, so the list is
// filtered again only when the time crosses into another interval or the clips
// change. GUI thread only.
class OverlayVisibilityCache {
public:
    // The interval index no query yields: nothing is cached.
    static constexpr int noInterval = -2;

    // The clips with start <= time < start + duration, in the order given.
    // The reference stays valid until the next call.
    const std::vector<Clip>& visibleClips(const std::vector<Clip>& clips, double time);

    // The interval of `time` among the boundaries of the last clips seen: -1
    // before the first boundary (or when there is none), the number of
    // boundaries at or after the last one, else the index of the last
    // boundary at or before the time. A time that is not a number is in
    // interval -1, where nothing is visible.
    int findIntervalIndex(double time) const;

    // The distinct start and end times of the last clips seen, ascending.
    const std::vector<double>& boundaries() const { return boundaries_; }

    // How many times the clip list has been filtered: the work the cache saves.
    std::size_t filterPassCount() const { return filterPassCount_; }

private:
    // Only the ids and time ranges decide the boundaries.
    bool clipsChanged(const std::vector<Clip>& clips) const;
    void rebuildBoundaries(const std::vector<Clip>& clips);

    std::vector<double> boundaries_;
    std::vector<Clip> cachedResult_;
    int cachedIntervalIndex_ = noInterval;
    std::vector<Clip> sourceClips_;
    std::size_t filterPassCount_ = 0;
};

} // namespace vexel
