#pragma once

#include "platform/media/MediaTime.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexel::media {

// A run of PCM, channels interleaved.
template <typename Sample> struct BasicAudioSamples {
    // Time of the first sample frame.
    MediaTime time;
    int sampleRate = 0;
    int channelCount = 0;
    std::vector<Sample> samples;

    // Sample frames (one value per channel each).
    std::size_t frameCount() const {
        return channelCount > 0 ? samples.size() / static_cast<std::size_t>(channelCount) : 0;
    }
    MediaTime duration() const {
        return MediaTime(static_cast<std::int64_t>(frameCount()), sampleRate > 0 ? sampleRate : 1);
    }
};

// Signed 16-bit samples, as files are decoded.
using AudioSamples = BasicAudioSamples<std::int16_t>;
// Floating-point samples (full scale is 1.0), as compositions are mixed.
using FloatAudioSamples = BasicAudioSamples<float>;

} // namespace vexel::media
