#include "presentation/helpers/SnapEngine.h"

#include <cmath>
#include <limits>

namespace vexel {

std::vector<double> SnapEngine::snapPoints(const std::vector<Clip>& clips, const Uuid& excluding) {
    std::vector<double> points;
    points.reserve(clips.size() * 2);
    for (const Clip& clip : clips) {
        if (clip.id == excluding) {
            continue;
        }
        points.push_back(clip.timeRange.startTime);
        points.push_back(clip.timeRange.startTime + clip.timeRange.duration);
    }
    return points;
}

SnapEngine::SnapResult SnapEngine::computeSnappedStart(const ClipBarFrame& frame,
                                                       std::span<const double> snapPoints,
                                                       double dx) {
    const double deltaT = frame.totalWidth > 0 ? frame.span() * (dx / frame.totalWidth) : 0;
    double raw = frame.start + deltaT;
    if (raw < 0) {
        raw = 0;
    }
    // The reach is taken from the axis as given: an axis of no length never
    // snaps, although it is laid out as one second long.
    const double threshold =
        frame.totalWidth > 0 ? frame.maxDuration * (snapDistance / frame.totalWidth) : 0;
    if (!(threshold > 0) || snapPoints.empty()) {
        return {raw, std::nullopt};
    }
    double best = std::numeric_limits<double>::infinity();
    double result = raw;
    std::optional<double> snap;
    const double end = raw + frame.duration;
    for (const double point : snapPoints) {
        const double fromStart = std::abs(raw - point);
        if (fromStart < best && fromStart <= threshold) {
            result = point;
            best = fromStart;
            snap = point;
        }
        const double fromEnd = std::abs(end - point);
        if (fromEnd <= threshold && fromEnd < best) {
            result = point - frame.duration;
            best = fromEnd;
            snap = point;
        }
    }
    return {result < 0 ? 0 : result, snap};
}

} // namespace vexel
