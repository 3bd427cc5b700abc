#include "domain/usecases/TrackOverlap.h"

#include "domain/entities/EditError.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vexel {

bool hasInternalOverlap(const Track& track) {
    if (track.clips.size() < 2) {
        return false;
    }
    std::vector<TimeRange> ranges;
    ranges.reserve(track.clips.size());
    for (const auto& clip : track.clips) {
        ranges.push_back(clip.timeRange);
    }
    // NaN starts go last so that the order stays a strict weak ordering.
    std::stable_sort(ranges.begin(), ranges.end(), [](const TimeRange& a, const TimeRange& b) {
        if (std::isnan(a.startTime) || std::isnan(b.startTime)) {
            return !std::isnan(a.startTime) && std::isnan(b.startTime);
        }
        return a.startTime < b.startTime;
    });
    for (std::size_t i = 1; i < ranges.size(); ++i) {
        const TimeRange& previous = ranges[i - 1];
        // Equal starts overlap even when the earlier clip is too short to move
        // its end past its start.
        if (ranges[i].startTime < (previous.startTime + previous.duration) - 1e-9 ||
            ranges[i].startTime == previous.startTime) {
            return true;
        }
    }
    return false;
}

void checkNoInternalOverlap(const Project& project) {
    for (const auto& track : project.tracks) {
        if (hasInternalOverlap(track)) {
            throw EditError::clipOverlap();
        }
    }
}

} // namespace vexel
