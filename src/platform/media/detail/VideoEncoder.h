#pragma once

// Converts BGRA frames to YUV 4:2:0 and encodes them for one video track.
// Internal to the media layer; runs on its input's thread after open().

#include "platform/media/PixelBuffer.h"
#include "platform/media/detail/FFmpeg.h"
#include "platform/media/detail/Scaler.h"
#include "platform/media/detail/WriterCore.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace vexel::media {

struct VideoItem {
    PixelBuffer buffer;
    MediaTime time;
};

class VideoEncoder {
public:
    using Settings = VideoSettings;
    using Item = VideoItem;

    // Throws MediaError (invalidArgument) for settings it cannot encode.
    explicit VideoEncoder(VideoSettings settings);

    const VideoSettings& settings() const { return settings_; }

    // Opens the encoder and adds its stream, before the file header is written.
    void open(WriterCore& core);
    void encode(const VideoItem& item, WriterCore& core);
    // Sends the last frame and drains the encoder.
    void flush(WriterCore& core);

private:
    // When a frame shows and for how long, in the stream's time base.
    struct Timing {
        std::int64_t time = 0;
        std::int64_t duration = 0;
    };

    ffmpeg::FramePtr convert(const VideoItem& item);
    void send(ffmpeg::FramePtr frame, Timing timing, WriterCore& core);
    void drain(WriterCore& core);
    // The stream time of an encoder timestamp (a presentation or decode time).
    std::int64_t streamTime(std::int64_t encoderTime) const;

    VideoSettings settings_;
    int encodedWidth_;
    int encodedHeight_;
    // The encoder counts whole frames, which it writes into the stream's own
    // timing header; the exact times go to the muxer in the finer stream time
    // base.
    AVRational encoderTimeBase_;
    AVRational streamTimeBase_;
    AVStream* stream_ = nullptr;
    ffmpeg::CodecContextPtr codec_;
    ffmpeg::Scaler scaler_;
    ffmpeg::PacketPtr packet_;

    // A frame is sent once the next one tells how long it shows.
    ffmpeg::FramePtr held_;
    std::int64_t heldTime_ = 0;
    std::int64_t lastEncoderPts_ = 0;
    std::vector<ffmpeg::FramePtr> spare_;
    // Every frame in the encoder, by encoder presentation time.
    std::map<std::int64_t, Timing> timings_;
    // The first frame, to place the decode times the encoder puts before it.
    std::optional<std::pair<std::int64_t, std::int64_t>> first_;
    std::optional<std::int64_t> lastDecodeTime_;
};

} // namespace vexel::media
