#include "presentation/helpers/WaveformShape.h"

#include <algorithm>

namespace vexel {

std::vector<WaveformShape::Bar> WaveformShape::bars(std::span<const float> samples, double width,
                                                    double height) {
    std::vector<Bar> result;
    if (samples.empty()) {
        return result;
    }
    result.reserve(samples.size());
    const double step = width / static_cast<double>(samples.size());
    const double midY = height / 2;
    const double barWidth = std::max(step - 0.5, 0.5);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double halfHeight = midY * static_cast<double>(samples[i]);
        result.push_back(
            {step * static_cast<double>(i), midY - halfHeight, barWidth, 2 * halfHeight});
    }
    return result;
}

} // namespace vexel
