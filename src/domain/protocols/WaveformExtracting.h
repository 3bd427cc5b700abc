#pragma once

#include <filesystem>
#include <stop_token>
#include <vector>

namespace vexel {

// Reduces the sound of a media file to the peaks that a clip bar draws.
class WaveformExtracting {
public:
    virtual ~WaveformExtracting() = default;

    // Blocks while the file is read and returns one peak in 0...1 per bucket,
    // in time order, or an empty list when there is nothing to show. Throws the
    // extractor's own error, the media layer's error when the file cannot be
    // opened, and CancellationError when `stop` is requested before the end.
    virtual std::vector<float> extract(const std::filesystem::path& url, int bucketCount,
                                       std::stop_token stop) const = 0;
};

} // namespace vexel
