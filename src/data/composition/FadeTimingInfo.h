#pragma once

#include "platform/media/MediaTime.h"

#include <optional>

namespace vexel {

// When a layer or overlay is on screen and how its opacity fades in and out.
// A window counts only when both of its ends are present.
struct FadeTimingInfo {
    // The base opacity, 0 to 1.
    float opacity = 1;
    // First composition time at which the item is drawn.
    media::MediaTime compositionStartTime{};
    // First composition time at which it is no longer drawn.
    media::MediaTime compositionEndTime{};
    std::optional<media::MediaTime> fadeInStart;
    std::optional<media::MediaTime> fadeInEnd;
    std::optional<media::MediaTime> fadeOutStart;
    std::optional<media::MediaTime> fadeOutEnd;

    // Drawn from the start (inclusive) to the end (exclusive), compared
    // exactly.
    bool isActive(const media::MediaTime& time) const;

    // The opacity at a composition time: 0 up to the start of the entrance
    // window and from the end of the exit window, linear ramps inside them
    // (the entrance wins until its end where they overlap), the base opacity
    // elsewhere.
    float effectiveOpacity(const media::MediaTime& time) const;

    friend bool operator==(const FadeTimingInfo&, const FadeTimingInfo&) = default;
};

} // namespace vexel
