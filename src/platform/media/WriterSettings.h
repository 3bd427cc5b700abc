#pragma once

#include "platform/media/Affine.h"

#include <optional>
#include <string>

namespace vexel::media {

// MPEG-4 (.mp4) or QuickTime (.mov); both get their index at the front.
enum class FileType { mp4, mov };

// H.264 through libx264 (preset "fast", CRF 20) or HEVC through libx265
// (preset "fast", CRF 24, tagged "hvc1").
enum class VideoCodec { h264, hevc };

struct VideoSettings {
    VideoCodec codec = VideoCodec::h264;
    // Size of the frames handed in. 4:2:0 video needs even sizes: an odd last
    // column or row is left out (a size of 1 is stretched to 2).
    int width = 0;
    int height = 0;
    // How players turn the picture, stored as the track's display matrix.
    Affine transform{};
    // The rate the frames come at: the encoder's rate control assumes it and
    // the last frame shows for 1/frameRate s. Other frames show until the next.
    int frameRate = 30;
    // At most this many frames from one key frame to the next; 0 leaves it to
    // the encoder. Sets how far back an exact seek may have to decode.
    int maxKeyFrameInterval = 0;

    friend bool operator==(const VideoSettings&, const VideoSettings&) = default;
};

// AAC. Samples of any rate and channel count are converted to this format.
struct AudioSettings {
    int sampleRate = 44100;
    int channelCount = 2;
    int bitRate = 192000;

    friend bool operator==(const AudioSettings&, const AudioSettings&) = default;
};

// Trades the video encoder's speed against size and quality: its preset and
// constant rate factor, the codec's defaults above where unset. Measurements
// set it; the application writes with the defaults.
struct EncoderTuning {
    // An x264/x265 preset name ("ultrafast" ... "placebo"); empty for "fast".
    std::string preset;
    // CRF, 0 to 51.
    std::optional<int> quality;

    friend bool operator==(const EncoderTuning&, const EncoderTuning&) = default;
};

} // namespace vexel::media
