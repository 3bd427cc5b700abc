#include "presentation/helpers/TimelineBarMetrics.h"

namespace vexel {

std::optional<TimelineBarMetrics::ClipEdge>
TimelineBarMetrics::detectEdge(double localX, double clipWidth, double threshold) {
    const bool nearLeft = localX <= threshold;
    const bool nearRight = clipWidth - localX <= threshold;
    if (nearLeft && nearRight) {
        return localX <= clipWidth * 0.5 ? ClipEdge::left : ClipEdge::right;
    }
    if (nearLeft) {
        return ClipEdge::left;
    }
    if (nearRight) {
        return ClipEdge::right;
    }
    return std::nullopt;
}

} // namespace vexel
