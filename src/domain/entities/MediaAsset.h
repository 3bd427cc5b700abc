#pragma once

#include "domain/entities/TrackType.h"

#include <filesystem>
#include <string>

namespace vexel {

// A probed media file.
struct MediaAsset {
    std::filesystem::path url;
    // The file's last path component, extension included.
    std::string name;
    // Seconds; greater than 0 and finite.
    double duration = 0;
    TrackType trackType = TrackType::video;

    friend bool operator==(const MediaAsset&, const MediaAsset&) = default;
};

} // namespace vexel
