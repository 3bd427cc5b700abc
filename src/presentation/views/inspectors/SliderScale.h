#pragma once

namespace vexel {

// An integer slider over a range in decimal steps (0.1, 0.05, 0.25, ...).
// Position k stands for minimum + k·step, computed as a whole number of steps
// over the steps per unit, so that 0.3 is the double nearest 0.3 and not the
// sum of three tenths. A value off the grid shows at the nearest position
// without being changed: only a position the user picks makes a value.
class SliderScale {
public:
    // `step` must be the reciprocal of a whole number.
    SliderScale(double minimum, double maximum, double step);

    // The last position; the first is 0.
    int lastPosition() const { return lastIndex_ - firstIndex_; }
    double value(int position) const;
    // The nearest position, clamped to the ends; the first for NaN.
    int position(double value) const;

private:
    int stepsPerUnit_;
    int firstIndex_;
    int lastIndex_;
};

} // namespace vexel
