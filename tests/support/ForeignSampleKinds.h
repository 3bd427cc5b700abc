#pragma once

// Each foreign sample with the kind of clip it must become, whichever way it
// is added.

#include "domain/entities/TrackType.h"
#include "support/ForeignSamples.h"

#include <utility>
#include <vector>

namespace vexel::testing {

inline const std::vector<std::pair<ForeignSample, TrackType>>& foreignSampleKinds() {
    static const std::vector<std::pair<ForeignSample, TrackType>> kinds = {
        {ForeignSample::webm, TrackType::video},
        {ForeignSample::matroska, TrackType::video},
        {ForeignSample::flac, TrackType::audio},
        {ForeignSample::ogg, TrackType::audio},
        {ForeignSample::webp, TrackType::image},
        {ForeignSample::mpegTs, TrackType::video},
        {ForeignSample::cameraTs, TrackType::video},
        {ForeignSample::soundOnlyWebm, TrackType::audio},
    };
    return kinds;
}

} // namespace vexel::testing
