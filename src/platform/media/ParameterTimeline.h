#pragma once

#include "platform/media/MediaTimeRange.h"

#include <optional>
#include <vector>

namespace vexel::media {

// A value that changes over composition time, set by points and linear ramps
// (an audio track's volume, a layer's opacity). Before the first change it is
// 1.0; a point holds from its time on, a ramp runs linearly over its range
// and then holds its last value, until the next change takes over.
class ParameterTimeline {
public:
    struct Change {
        MediaTime start;
        // Zero for a point.
        MediaTime duration;
        float from = 1;
        float to = 1;

        friend bool operator==(const Change&, const Change&) = default;
    };

    // Throw MediaError (invalidArgument) for a value that is not finite, a
    // negative time or a ramp over an empty range.
    void setValue(float value, const MediaTime& at);
    void setRamp(float from, float to, const MediaTimeRange& range);

    float valueAt(const MediaTime& time) const;
    // The changes in time order (later settings after earlier ones at the
    // same time).
    const std::vector<Change>& changes() const { return changes_; }
    // The value when it never changes, else nothing.
    std::optional<float> constantValue() const;

    friend bool operator==(const ParameterTimeline&, const ParameterTimeline&) = default;

private:
    void add(Change change);

    std::vector<Change> changes_;
};

} // namespace vexel::media
