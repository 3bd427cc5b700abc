#pragma once

#include "platform/media/Affine.h"
#include "platform/media/Geometry.h"
#include "platform/media/MediaTimeRange.h"
#include "platform/media/MediaType.h"

#include <string>

namespace vexel::media {

// How a video track's pictures were taken: whole frames, or two fields of
// alternate lines from two instants, the one shown first named.
enum class FieldOrder { progressive, topFieldFirst, bottomFieldFirst };

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

    // Video only: the picture's size as shown, in square pixels (the stored
    // width stretched by the pixel aspect ratio, as readers deliver frames),
    // how it is turned for display (top-left coordinates, see Affine) and
    // frames per second (0 when unknown).
    Size naturalSize{};
    Affine preferredTransform{};
    double nominalFrameRate = 0;
    // The width:height of one stored pixel; 1:1 for square pixels (PAL
    // 16:9 is 64:45, HDV 1440 x 1080 is 4:3).
    int pixelAspectNumerator = 1;
    int pixelAspectDenominator = 1;
    // What the container or the stream says; frames may still say that they
    // are interlaced one by one.
    FieldOrder fieldOrder = FieldOrder::progressive;

    // Audio only.
    int sampleRate = 0;
    int channelCount = 0;

    friend bool operator==(const AssetTrack&, const AssetTrack&) = default;
};

} // namespace vexel::media
