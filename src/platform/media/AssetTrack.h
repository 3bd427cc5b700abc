#pragma once

#include "platform/media/Affine.h"
#include "platform/media/Geometry.h"
#include "platform/media/MediaTimeRange.h"
#include "platform/media/MediaType.h"

#include <string>

namespace vexel::media {

// One track of a probed media file.
struct AssetTrack {
    // The track's index in the file; tracks are listed in file order.
    int trackID = 0;
    MediaType mediaType = MediaType::other;
    // Where the track's media lies on the file's timeline.
    MediaTimeRange timeRange{};
    // FFmpeg's codec name ("h264", "hevc", "aac") and the container's
    // four-character code ("avc1", "hvc1", "mp4a"; empty when there is none).
    std::string codecName;
    std::string codecTag;

    // Video only: stored picture size, how it is turned for display (top-left
    // coordinates, see Affine) and frames per second (0 when unknown).
    Size naturalSize{};
    Affine preferredTransform{};
    double nominalFrameRate = 0;

    // Audio only.
    int sampleRate = 0;
    int channelCount = 0;

    friend bool operator==(const AssetTrack&, const AssetTrack&) = default;
};

} // namespace vexel::media
