#pragma once

#include <string>
#include <vector>

namespace vexel {

// The ticks of the timeline's ruler: a tick every `interval` seconds, at least
// 48 pixels apart, and a labelled major tick every fifth one.
class RulerTicks {
public:
    RulerTicks() = delete;

    // The closest ticks may come on screen.
    static constexpr double minimumSpacing = 48;

    struct Tick {
        double time = 0;
        double x = 0;
        bool major = false;
        // "m:ss" of the whole seconds; empty on a minor tick.
        std::string label;

        friend bool operator==(const Tick&, const Tick&) = default;
    };

    // The first of 1, 2, 5, 10, 15, 30, 60, 120 and 300 s that puts ticks
    // `minimumSpacing` apart; 300 when none does, 10 on an axis of no width
    // or no length.
    static double computeInterval(double duration, double contentWidth);

    // Every tick from 0 to `displayDuration` across `contentWidth` pixels,
    // shifted right by `labelOffset`.
    static std::vector<Tick> ticks(double displayDuration, double contentWidth,
                                   double labelOffset = 0);
};

} // namespace vexel
