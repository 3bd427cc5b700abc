#pragma once

namespace vexel {

// Where a clip bar stands on the timeline's time axis: the clip's start and
// duration (seconds) on an axis of `maxDuration` seconds drawn `totalWidth`
// pixels wide. A degenerate axis is guarded: a span of 0 or less counts as
// 1 s, a width of 0 or less turns every pointer movement into no time at all.
struct ClipBarFrame {
    // No bar is drawn narrower than this, however short its clip.
    static constexpr double minimumWidth = 4;

    double start = 0;
    double duration = 0;
    double maxDuration = 0;
    double totalWidth = 0;

    // The seconds the full width stands for.
    double span() const { return maxDuration > 0 ? maxDuration : 1; }
    double baseOffset() const { return totalWidth * start / span(); }
    double baseWidth() const { return totalWidth * duration / span(); }
    // The width drawn with no gesture under way.
    double drawnWidth() const {
        const double width = baseWidth();
        return width > minimumWidth ? width : minimumWidth;
    }
    // The time a horizontal pointer movement of `dx` pixels stands for.
    double timeDelta(double dx) const { return totalWidth > 0 ? dx / totalWidth * span() : 0; }
    // Seconds to pixels along the axis.
    double xOf(double time) const { return time / span() * totalWidth; }
};

} // namespace vexel
