#pragma once

#include "platform/media/MediaTime.h"

namespace vexel::media {

// The half-open span [start, start + duration) of a media timeline.
struct MediaTimeRange {
    MediaTime start{};
    MediaTime duration{};

    MediaTime end() const { return start + duration; }
    bool isEmpty() const { return !(duration > MediaTime::zero()); }
    bool containsTime(const MediaTime& time) const { return start <= time && time < end(); }

    friend bool operator==(const MediaTimeRange&, const MediaTimeRange&) = default;
};

} // namespace vexel::media
