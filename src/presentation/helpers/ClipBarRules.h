#pragma once

#include "domain/entities/Clip.h"
#include "foundation/Uuid.h"
#include "presentation/helpers/ClipBarFrame.h"
#include "presentation/helpers/TimelineBarMetrics.h"

#include <optional>
#include <span>
#include <vector>

namespace vexel {

// What a gesture on a clip bar comes to: where the bar is drawn while it runs,
// and what it reports when it ends. Pure arithmetic on the bar's frame.
class ClipBarRules {
public:
    ClipBarRules() = delete;

    // The shortest clip a trim leaves.
    static constexpr double minimumTrimDuration = 0.1;

    struct MoveSnapResult {
        // The live bar's offset from where the clip stands, in pixels.
        double offset = 0;
        // The point the move is held at; kept even when the clamp moved the
        // start away from it.
        std::optional<double> snapPoint;

        friend bool operator==(const MoveSnapResult&, const MoveSnapResult&) = default;
    };

    struct TrimResult {
        double sourceOffset = 0;
        double duration = 0;

        friend bool operator==(const TrimResult&, const TrimResult&) = default;
    };

    // The clip's in-point in its media and its speed, which a left-edge trim
    // moves together.
    struct TrimSource {
        double sourceOffset = 0;
        double rate = 1;
    };

    // The live move of `dx` pixels: snapped, then kept inside the axis (a
    // clip longer than the axis stays at 0).
    static MoveSnapResult handleMoveWithSnap(const ClipBarFrame& frame,
                                             std::span<const double> snapPoints, double dx);

    // The start a move of `dx` pixels reports on release: the snapped start,
    // kept inside the axis exactly as the live bar showed it.
    static double releasedMoveStart(const ClipBarFrame& frame, std::span<const double> snapPoints,
                                    double dx);

    // The nearest start of another clip of the track at or after the end of
    // `clipId`: how far a trim may grow that clip. None when nothing follows
    // (or the clip is not among `clips`).
    static std::optional<double> nextClipStart(const std::vector<Clip>& clips, const Uuid& clipId);

    // What a trim of `edge` by `dx` pixels reports. Both edges keep the
    // clip's start: the right edge changes the duration (never past the
    // axis's end), the left edge moves the in-point and the duration together
    // (never before the start of the media, never below 0.1 s). Either way the
    // new end stops at `nextStart`, so a trim never grows the clip over the
    // one that follows it; shrinking is not limited.
    static TrimResult commitTrim(const ClipBarFrame& frame, TrimSource source,
                                 TimelineBarMetrics::ClipEdge edge, double dx,
                                 std::optional<double> nextStart);

    // How much wider the live bar is drawn while `edge` is trimmed by `dx`
    // pixels: it follows the pointer, but never grows past `nextStart`.
    static double trimWidthDelta(const ClipBarFrame& frame, TimelineBarMetrics::ClipEdge edge,
                                 double dx, std::optional<double> nextStart);

    // The time under the trimmed edge, to show in the preview while trimming;
    // inside the axis, but not held to the trim's limits.
    static double trimScrubTime(const ClipBarFrame& frame, TimelineBarMetrics::ClipEdge edge,
                                double dx);

    // The audio lane a bar is dropped on after a vertical movement of `dy`
    // pixels, lanes being `laneHeight` + 1 apart (halves round away from 0).
    // None when the move stays on the current lane, the current lane is not
    // among `audioTrackLanes`, or the step leaves the list.
    static std::optional<Uuid> resolveTargetAudioTrack(std::span<const Uuid> audioTrackLanes,
                                                       const std::optional<Uuid>& currentTrackId,
                                                       double laneHeight, double dy);
};

} // namespace vexel
