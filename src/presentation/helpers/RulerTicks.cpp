#include "presentation/helpers/RulerTicks.h"

#include "presentation/helpers/TimeFormatting.h"

#include <array>
#include <cmath>

namespace vexel {

double RulerTicks::computeInterval(double duration, double contentWidth) {
    if (!(contentWidth > 0) || !(duration > 0)) {
        return 10;
    }
    const double pointsPerSecond = contentWidth / duration;
    for (const double interval : std::array{1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0}) {
        if (pointsPerSecond * interval >= minimumSpacing) {
            return interval;
        }
    }
    return 300;
}

std::vector<RulerTicks::Tick> RulerTicks::ticks(double displayDuration, double contentWidth,
                                                double labelOffset) {
    std::vector<Tick> result;
    const double interval = computeInterval(displayDuration, contentWidth);
    if (!(interval > 0) || !(displayDuration >= 0) || !std::isfinite(displayDuration)) {
        return result;
    }
    const double span = displayDuration > 0 ? displayDuration : 1;
    const double majorStep = 5 * interval;
    // Added up rather than multiplied, so that the ticks fall where the
    // ruler has always put them.
    for (double t = 0; t <= displayDuration; t += interval) {
        Tick tick;
        tick.time = t;
        tick.x = t / span * contentWidth + labelOffset;
        tick.major = t == 0 || std::fmod(t, majorStep) < 0.001;
        if (tick.major) {
            tick.label = TimeFormatting::standard(t);
        }
        result.push_back(std::move(tick));
    }
    return result;
}

} // namespace vexel
