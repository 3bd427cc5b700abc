#pragma once

#include <optional>

namespace vexel {

// Which part of a bar a pointer grabs: an edge to trim, or the body to move.
class TimelineBarMetrics {
public:
    TimelineBarMetrics() = delete;

    enum class ClipEdge { left, right };

    // How near an edge, in pixels, a press grabs that edge.
    static constexpr double edgeThreshold = 8;

    // `localX` is measured from the bar's leading edge. A position within
    // `threshold` of an edge grabs it; on a bar so narrow that both zones
    // meet, the nearer half decides. Outside the bar counts as near the edge
    // on that side. None: the body.
    static std::optional<ClipEdge> detectEdge(double localX, double clipWidth, double threshold);
};

} // namespace vexel
