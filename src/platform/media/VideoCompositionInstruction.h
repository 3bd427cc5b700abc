#pragma once

#include "platform/media/MediaTimeRange.h"

#include <vector>

namespace vexel::media {

// What a video composition draws over one time range. The built-in layer form
// is LayerVideoCompositionInstruction; a custom compositor defines its own
// kinds and reads them back from its requests.
class VideoCompositionInstruction {
public:
    virtual ~VideoCompositionInstruction() = default;

    virtual MediaTimeRange timeRange() const = 0;
    // The composition tracks whose frames a request for this instruction
    // carries.
    virtual std::vector<int> requiredSourceTrackIDs() const = 0;
};

} // namespace vexel::media
