#pragma once

#include "foundation/Uuid.h"

#include <optional>
#include <vector>

namespace vexel {

// What a clip bar needs to take its clip to another audio lane: the audio
// lanes top to bottom (none where a clip cannot change lanes), the lane it is
// on (none turns lane changes off) and the height of a lane, one pixel apart.
struct CrossTrackConfig {
    std::vector<Uuid> audioTrackLanes;
    std::optional<Uuid> currentTrackId;
    double laneHeight = 28;

    friend bool operator==(const CrossTrackConfig&, const CrossTrackConfig&) = default;
};

} // namespace vexel
