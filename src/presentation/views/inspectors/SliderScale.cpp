#include "presentation/views/inspectors/SliderScale.h"

#include <algorithm>
#include <cmath>

namespace vexel {

SliderScale::SliderScale(double minimum, double maximum, double step)
    : stepsPerUnit_(static_cast<int>(std::lround(1.0 / step)))
    , firstIndex_(static_cast<int>(std::lround(minimum * stepsPerUnit_)))
    , lastIndex_(static_cast<int>(std::lround(maximum * stepsPerUnit_))) {}

double SliderScale::value(int position) const {
    const int index = std::clamp(firstIndex_ + position, firstIndex_, lastIndex_);
    return static_cast<double>(index) / stepsPerUnit_;
}

int SliderScale::position(double value) const {
    if (std::isnan(value)) {
        return 0;
    }
    const double index = std::round(value * stepsPerUnit_);
    if (!(index > firstIndex_)) {
        return 0;
    }
    if (!(index < lastIndex_)) {
        return lastPosition();
    }
    return static_cast<int>(index) - firstIndex_;
}

} // namespace vexel
