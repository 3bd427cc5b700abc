#include "data/composition/FadeTimingInfo.h"

#include <algorithm>

namespace vexel {

namespace {

// How far `time` lies through [start, end], clamped to 0..1. The differences
// are exact; only their ratio is rounded, to single precision at the end.
float progress(const media::MediaTime& time, const media::MediaTime& start,
               const media::MediaTime& end) {
    const double ratio = (time - start).seconds() / (end - start).seconds();
    return static_cast<float>(std::clamp(ratio, 0.0, 1.0));
}

} // namespace

bool FadeTimingInfo::isActive(const media::MediaTime& time) const {
    return compositionStartTime <= time && time < compositionEndTime;
}

float FadeTimingInfo::effectiveOpacity(const media::MediaTime& time) const {
    // A time strictly inside a window exists only when the window is not
    // empty, so the ramps never divide by zero.
    if (fadeInStart && fadeInEnd && time < *fadeInEnd) {
        if (time <= *fadeInStart) {
            return 0;
        }
        return opacity * progress(time, *fadeInStart, *fadeInEnd);
    }
    if (fadeOutStart && fadeOutEnd && time >= *fadeOutStart) {
        if (time >= *fadeOutEnd) {
            return 0;
        }
        return opacity * (1 - progress(time, *fadeOutStart, *fadeOutEnd));
    }
    return opacity;
}

} // namespace vexel
