#pragma once

namespace vexel {

// The geometry of the timeline's scrolling content for an area of
// `width` × `height` pixels: the ruler strip on top, then the lanes, one
// pixel apart, sharing the height but never lower than 28 pixels (then the
// lanes scroll vertically), beside the column of lane icons. The content is
// as many times wider than the visible width as the zoom level says.
struct TimelineLayout {
    static constexpr double rulerHeight = 18;
    static constexpr double minimumLaneHeight = 28;
    static constexpr double iconColumnWidth = 36;
    // The icon column and the gap beside it.
    static constexpr double leadingInset = 40;

    double laneHeight = 0;
    // The lanes and their dividers, below the ruler.
    double contentHeight = 0;
    bool scrollsVertically = false;
    double virtualContentWidth = 0;

    static TimelineLayout make(double width, double height, int laneCount, double zoomLevel);

    friend bool operator==(const TimelineLayout&, const TimelineLayout&) = default;
};

} // namespace vexel
