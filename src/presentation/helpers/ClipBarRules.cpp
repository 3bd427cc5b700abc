#include "presentation/helpers/ClipBarRules.h"

#include "presentation/helpers/SnapEngine.h"

#include <algorithm>
#include <cmath>

namespace vexel {

namespace {

// The latest start at which the clip still ends inside the axis; 0 for a
// clip longer than the axis.
double clampedStart(const ClipBarFrame& frame, double start) {
    const double maxStart = frame.span() - frame.duration;
    if (maxStart < 0) {
        return 0;
    }
    return std::max(std::min(start, maxStart), 0.0);
}

// How long the clip may grow before its end passes `nextStart`.
std::optional<double> growthRoom(const ClipBarFrame& frame, std::optional<double> nextStart) {
    if (!nextStart) {
        return std::nullopt;
    }
    return std::max(*nextStart - (frame.start + frame.duration), 0.0);
}

} // namespace

ClipBarRules::MoveSnapResult ClipBarRules::handleMoveWithSnap(const ClipBarFrame& frame,
                                                              std::span<const double> snapPoints,
                                                              double dx) {
    const SnapEngine::SnapResult snapped = SnapEngine::computeSnappedStart(frame, snapPoints, dx);
    const double start = clampedStart(frame, snapped.start);
    return {(start - frame.start) / frame.span() * frame.totalWidth, snapped.snapPoint};
}

double ClipBarRules::releasedMoveStart(const ClipBarFrame& frame,
                                       std::span<const double> snapPoints, double dx) {
    return clampedStart(frame, SnapEngine::computeSnappedStart(frame, snapPoints, dx).start);
}

std::optional<double> ClipBarRules::nextClipStart(const std::vector<Clip>& clips,
                                                  const Uuid& clipId) {
    const auto clip = std::find_if(clips.begin(), clips.end(),
                                   [&](const Clip& candidate) { return candidate.id == clipId; });
    if (clip == clips.end()) {
        return std::nullopt;
    }
    const double end = clip->timeRange.endTime();
    std::optional<double> next;
    for (const Clip& other : clips) {
        const double start = other.timeRange.startTime;
        if (other.id != clipId && start >= end && (!next || start < *next)) {
            next = start;
        }
    }
    return next;
}

ClipBarRules::TrimResult ClipBarRules::commitTrim(const ClipBarFrame& frame, TrimSource source,
                                                  TimelineBarMetrics::ClipEdge edge, double dx,
                                                  std::optional<double> nextStart) {
    const double deltaT = frame.timeDelta(dx);
    const std::optional<double> room = growthRoom(frame, nextStart);
    double sourceOffset = source.sourceOffset;
    double duration = 0;
    if (edge == TimelineBarMetrics::ClipEdge::right) {
        duration = std::min(frame.span() - frame.start, frame.duration + deltaT);
    } else {
        // The left edge moves right until 0.1 s remain, and left until the
        // in-point reaches the start of the media.
        const double shrink = std::min(frame.duration - minimumTrimDuration, deltaT);
        const double floor = -source.sourceOffset / (source.rate > 0.01 ? source.rate : 0.01);
        double delta = std::max(floor, shrink);
        if (room) {
            delta = std::max(delta, -*room);
        }
        sourceOffset = std::max(source.sourceOffset + source.rate * delta, 0.0);
        duration = frame.duration - delta;
    }
    duration = std::max(duration, minimumTrimDuration);
    if (room) {
        // Last, so that not even the shortest trim reaches over the neighbour.
        duration = std::min(duration, frame.duration + *room);
    }
    return {sourceOffset, duration};
}

double ClipBarRules::trimWidthDelta(const ClipBarFrame& frame, TimelineBarMetrics::ClipEdge edge,
                                    double dx, std::optional<double> nextStart) {
    const double delta = edge == TimelineBarMetrics::ClipEdge::right ? dx : -dx;
    const std::optional<double> room = growthRoom(frame, nextStart);
    if (!room) {
        return delta;
    }
    // The bar is drawn at least 4 px wide, so the room is counted from the
    // width drawn rather than from the clip's own.
    const double widest = frame.xOf(frame.duration + *room);
    return std::min(delta, std::max(widest - frame.drawnWidth(), 0.0));
}

double ClipBarRules::trimScrubTime(const ClipBarFrame& frame, TimelineBarMetrics::ClipEdge edge,
                                   double dx) {
    const double edgeTime =
        edge == TimelineBarMetrics::ClipEdge::right ? frame.start + frame.duration : frame.start;
    return std::clamp(edgeTime + frame.timeDelta(dx), 0.0, frame.span());
}

std::optional<Uuid> ClipBarRules::resolveTargetAudioTrack(std::span<const Uuid> audioTrackLanes,
                                                          const std::optional<Uuid>& currentTrackId,
                                                          double laneHeight, double dy) {
    if (audioTrackLanes.empty() || !currentTrackId) {
        return std::nullopt;
    }
    const auto current = std::find(audioTrackLanes.begin(), audioTrackLanes.end(), *currentTrackId);
    if (current == audioTrackLanes.end()) {
        return std::nullopt;
    }
    const double steps = std::round(dy / (laneHeight + 1));
    if (!std::isfinite(steps) || steps == 0) {
        return std::nullopt;
    }
    const double index = static_cast<double>(current - audioTrackLanes.begin()) + steps;
    if (index < 0 || index >= static_cast<double>(audioTrackLanes.size())) {
        return std::nullopt;
    }
    const Uuid& target = audioTrackLanes[static_cast<std::size_t>(index)];
    if (target == *currentTrackId) {
        return std::nullopt;
    }
    return target;
}

} // namespace vexel
