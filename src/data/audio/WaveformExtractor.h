#pragma once

#include "platform/media/MediaTime.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <vector>

namespace vexel {

// Reads the first audio track of a media file as 16-bit PCM and reduces it to
// one peak per bucket (see PeakBuckets). Not instantiated.
class WaveformExtractor {
public:
    static constexpr int maxBucketCount = 10000;

    WaveformExtractor() = delete;

    // A bucket count below 1 gives an empty list without opening the file;
    // larger counts are capped at maxBucketCount. A file without sound, without
    // a sensible length or from which no value is read gives an empty list.
    // Throws media::MediaError when the file cannot be opened or probed,
    // WaveformExtractorError when its sound cannot be read to the end, and
    // CancellationError when `stop` is requested.
    static std::vector<float> extract(const std::filesystem::path& url, int bucketCount,
                                      std::stop_token stop = {});

    // How many 16-bit values the decoded track will hold: duration × rate ×
    // channels, rounded down (a rate of 0 counts as 44100, fewer than 1
    // channel as 1), at least 1. Nothing when the duration is not positive or
    // the count is too large to be a count of values.
    static std::optional<std::int64_t> estimatedValueCount(const media::MediaTime& duration,
                                                           int sampleRate, int channelCount);
};

} // namespace vexel
