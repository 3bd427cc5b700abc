#pragma once

// The frame times a reader delivers: frame n at n x frame duration, for n in
// [first, end). Internal to the media layer.

#include "platform/media/MediaTime.h"

#include <cstdint>

namespace vexel::media::detail {

struct FrameGrid {
    MediaTime frameDuration{1, 30};
    std::int64_t first = 0;
    std::int64_t end = 0; // exclusive

    MediaTime time(std::int64_t n) const {
        return MediaTime(n * frameDuration.value(), frameDuration.timescale());
    }

    // The first n with n x frame >= time, exactly; frame must be positive.
    static std::int64_t indexAtOrAfter(const MediaTime& time, const MediaTime& frame) {
        __extension__ using Wide = __int128;
        Wide top = static_cast<Wide>(time.value()) * frame.timescale();
        Wide bottom = static_cast<Wide>(frame.value()) * time.timescale();
        Wide quotient = top / bottom;
        if (top % bottom > 0) {
            ++quotient;
        }
        return static_cast<std::int64_t>(quotient);
    }
};

} // namespace vexel::media::detail
