#include "presentation/helpers/TimelineLayout.h"

#include <algorithm>

namespace vexel {

TimelineLayout TimelineLayout::make(double width, double height, int laneCount, double zoomLevel) {
    const int lanes = std::max(laneCount, 0);
    const int slots = std::max(lanes, 1);
    const double fitted = (height - rulerHeight - (slots - 1)) / slots;
    TimelineLayout layout;
    // A height that is not a number scrolls rather than lays out nothing.
    layout.scrollsVertically = !(fitted >= minimumLaneHeight);
    if (layout.scrollsVertically) {
        layout.laneHeight = minimumLaneHeight;
        layout.contentHeight = lanes * minimumLaneHeight + (slots - 1);
    } else {
        layout.laneHeight = fitted;
        layout.contentHeight = height - rulerHeight;
    }
    layout.virtualContentWidth = std::max(width - leadingInset, 0.0) * zoomLevel;
    return layout;
}

} // namespace vexel
