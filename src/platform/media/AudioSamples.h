#pragma once

#include "platform/media/MediaTime.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexel::media {

// A run of signed 16-bit PCM, channels interleaved.
struct AudioSamples {
    // Time of the first sample frame.
    MediaTime time;
    int sampleRate = 0;
    int channelCount = 0;
    std::vector<std::int16_t> samples;

    // Sample frames (one value per channel each).
    std::size_t frameCount() const {
        return channelCount > 0 ? samples.size() / static_cast<std::size_t>(channelCount) : 0;
    }
    MediaTime duration() const {
        return MediaTime(static_cast<std::int64_t>(frameCount()), sampleRate > 0 ? sampleRate : 1);
    }
};

} // namespace vexel::media
