#include "data/audio/RealWaveformExtractor.h"

#include "data/audio/WaveformExtractor.h"

namespace vexel {

std::vector<float> RealWaveformExtractor::extract(const std::filesystem::path& url, int bucketCount,
                                                  std::stop_token stop) const {
    return WaveformExtractor::extract(url, bucketCount, std::move(stop));
}

} // namespace vexel
