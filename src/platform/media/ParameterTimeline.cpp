#include "platform/media/ParameterTimeline.h"

#include "platform/media/MediaError.h"

#include <algorithm>
#include <cmath>

namespace vexel::media {

void ParameterTimeline::setValue(float value, const MediaTime& at) {
    add(Change{at, MediaTime::zero(), value, value});
}

void ParameterTimeline::setRamp(float from, float to, const MediaTimeRange& range) {
    if (range.isEmpty()) {
        throw MediaError(MediaError::Kind::invalidArgument,
                         "A ramp needs a range of positive length");
    }
    add(Change{range.start, range.duration, from, to});
}

void ParameterTimeline::add(Change change) {
    if (!std::isfinite(change.from) || !std::isfinite(change.to) ||
        change.start < MediaTime::zero()) {
        throw MediaError(MediaError::Kind::invalidArgument,
                         "Parameter values must be finite and start at or after zero");
    }
    auto position =
        std::upper_bound(changes_.begin(), changes_.end(), change.start,
                         [](const MediaTime& time, const Change& c) { return time < c.start; });
    changes_.insert(position, change);
}

float ParameterTimeline::valueAt(const MediaTime& time) const {
    auto after = std::upper_bound(changes_.begin(), changes_.end(), time,
                                  [](const MediaTime& t, const Change& c) { return t < c.start; });
    if (after == changes_.begin()) {
        return 1.0f;
    }
    const Change& change = *(after - 1);
    if (change.duration > MediaTime::zero() && time < change.start + change.duration) {
        double progress = (time - change.start).seconds() / change.duration.seconds();
        return change.from + (change.to - change.from) * static_cast<float>(progress);
    }
    return change.to;
}

std::optional<float> ParameterTimeline::constantValue() const {
    float value = 1.0f;
    for (const Change& change : changes_) {
        bool same = change.from == value && change.to == value;
        bool setsFromZero = &change == &changes_.front() && change.start == MediaTime::zero() &&
                            change.from == change.to;
        if (!same && !setsFromZero) {
            return std::nullopt;
        }
        value = change.to;
    }
    return value;
}

} // namespace vexel::media
