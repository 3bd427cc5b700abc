#pragma once

#include "domain/entities/Clip.h"
#include "foundation/Uuid.h"
#include "presentation/helpers/ClipBarFrame.h"

#include <optional>
#include <span>
#include <vector>

namespace vexel {

// Where a moving clip may come to rest: on the edges of the other clips of
// its track, when its start or its end comes within 5 pixels of one.
class SnapEngine {
public:
    SnapEngine() = delete;

    // How far from a snap point, on screen, a clip edge is caught by it.
    static constexpr double snapDistance = 5;

    struct SnapResult {
        // Seconds, never below 0.
        double start = 0;
        // The point the start or the end was snapped to; none when neither was.
        std::optional<double> snapPoint;

        friend bool operator==(const SnapResult&, const SnapResult&) = default;
    };

    // The start and then the end of every clip but `excluding`, in clip order;
    // neither sorted nor de-duplicated.
    static std::vector<double> snapPoints(const std::vector<Clip>& clips, const Uuid& excluding);

    // The start of the bar's clip after a horizontal movement of `dx` pixels,
    // caught by the nearest snap point within reach of its start or its end.
    // At equal distance the start wins over the end, and an earlier point
    // over a later one.
    static SnapResult computeSnappedStart(const ClipBarFrame& frame,
                                          std::span<const double> snapPoints, double dx);
};

} // namespace vexel
