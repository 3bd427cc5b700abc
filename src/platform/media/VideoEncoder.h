#pragma once

// Converts BGRA frames to YUV 4:2:0 and encodes them for one video track.
// Internal to the media layer; runs on its input's thread after open().

#include "platform/media/FFmpeg.h"
#include "platform/media/PixelBuffer.h"
#include "platform/media/Scaler.h"
#include "platform/media/WriterCore.h"

#include <map>
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
    ffmpeg::FramePtr convert(const VideoItem& item);
    void send(ffmpeg::FramePtr frame, std::int64_t duration, WriterCore& core);
    void drain(WriterCore& core);

    VideoSettings settings_;
    int encodedWidth_;
    int encodedHeight_;
    AVRational timeBase_;
    AVStream* stream_ = nullptr;
    ffmpeg::CodecContextPtr codec_;
    ffmpeg::Scaler scaler_;
    ffmpeg::PacketPtr packet_;

    // A frame is sent once the next one tells how long it shows.
    ffmpeg::FramePtr held_;
    std::int64_t heldPts_ = 0;
    std::vector<ffmpeg::FramePtr> spare_;
    // Duration of every frame in the encoder, by presentation time.
    std::map<std::int64_t, std::int64_t> durations_;
};

} // namespace vexel::media
