#pragma once

#include <utility>
#include <vector>

namespace vexel {

// The peak values of one file's sound, as the waveform service extracted them,
// shared by every clip bar that shows the file.
class WaveformSamples {
public:
    explicit WaveformSamples(std::vector<float> values)
        : values_(std::move(values)) {}

    const std::vector<float>& values() const { return values_; }

private:
    std::vector<float> values_;
};

} // namespace vexel
