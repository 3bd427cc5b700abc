#pragma once

#include "domain/protocols/WaveformExtracting.h"

namespace vexel {

// The extractor that the waveform service uses outside tests.
class RealWaveformExtractor final : public WaveformExtracting {
public:
    std::vector<float> extract(const std::filesystem::path& url, int bucketCount,
                               std::stop_token stop) const override;
};

} // namespace vexel
