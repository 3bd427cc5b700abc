#include "platform/media/detail/VideoEncoder.h"

#include "platform/media/detail/DisplayMatrix.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <cstring>

namespace vexel::media {

namespace {

using ffmpeg::check;
using Kind = MediaError::Kind;

// Stream ticks per frame: every time at timescale 600 and every multiple of
// 1/frameRate is exact in the stream's time base.
constexpr int kTicksPerFrame = 600;

int evenSize(int size) {
    return size <= 2 ? 2 : size & ~1;
}

} // namespace

VideoEncoder::VideoEncoder(VideoSettings settings)
    : settings_(std::move(settings))
    , encodedWidth_(evenSize(settings_.width))
    , encodedHeight_(evenSize(settings_.height))
    , encoderTimeBase_{1, settings_.frameRate}
    , streamTimeBase_{1, settings_.frameRate * kTicksPerFrame} {
    if (!(settings_.width >= 1 && settings_.width <= PixelBuffer::maxDimension &&
          settings_.height >= 1 && settings_.height <= PixelBuffer::maxDimension)) {
        throw MediaError(Kind::invalidArgument,
                         "Video size out of range: " + std::to_string(settings_.width) + "x" +
                             std::to_string(settings_.height));
    }
    if (!(settings_.frameRate >= 1 && settings_.frameRate <= 1000)) {
        throw MediaError(Kind::invalidArgument,
                         "Frame rate out of range: " + std::to_string(settings_.frameRate));
    }
    displayMatrixFromTransform(settings_.transform); // throws when it does not fit
    encoderTimeBase_ = AVRational{1, settings_.frameRate};
    streamTimeBase_ = AVRational{1, settings_.frameRate * kTicksPerFrame};
}

void VideoEncoder::open(WriterCore& core) {
    bool hevc = settings_.codec == VideoCodec::hevc;
    const char* name = hevc ? "libx265" : "libx264";
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec) {
        throw MediaError(Kind::unsupported, std::string("No encoder ") + name);
    }
    codec_.reset(avcodec_alloc_context3(codec));
    if (!codec_) {
        throw std::bad_alloc();
    }
    AVCodecContext& c = *codec_;
    c.width = encodedWidth_;
    c.height = encodedHeight_;
    c.pix_fmt = AV_PIX_FMT_YUV420P;
    c.time_base = encoderTimeBase_;
    c.framerate = AVRational{settings_.frameRate, 1};
    c.sample_aspect_ratio = AVRational{1, 1};
    c.color_range = AVCOL_RANGE_MPEG;
    c.colorspace = AVCOL_SPC_BT709;
    c.color_primaries = AVCOL_PRI_BT709;
    c.color_trc = AVCOL_TRC_BT709;
    c.thread_count = 0; // the encoder's own choice: all cores
    if (core.format->oformat->flags & AVFMT_GLOBALHEADER) {
        c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    ffmpeg::Options options;
    options.set("preset", "fast");
    options.set("crf", hevc ? "24" : "20");
    if (hevc) {
        options.set("x265-params", "log-level=error");
    }
    check(avcodec_open2(&c, codec, options.get()), Kind::unsupported,
          std::string("Cannot open the ") + name + " encoder");

    stream_ = avformat_new_stream(core.format.get(), nullptr);
    if (!stream_) {
        throw std::bad_alloc();
    }
    stream_->time_base = streamTimeBase_;
    check(avcodec_parameters_from_context(stream_->codecpar, &c), Kind::unsupported,
          "Cannot describe the video track");
    if (hevc) {
        // Players that need every parameter set in the sample description
        // (QuickTime, the web) only take HEVC tagged "hvc1".
        stream_->codecpar->codec_tag = MKTAG('h', 'v', 'c', '1');
    }
    if (!settings_.transform.isIdentity()) {
        DisplayMatrix matrix = displayMatrixFromTransform(settings_.transform);
        std::uint8_t* side =
            av_stream_new_side_data(stream_, AV_PKT_DATA_DISPLAYMATRIX, sizeof matrix);
        if (!side) {
            throw std::bad_alloc();
        }
        std::memcpy(side, matrix.data(), sizeof matrix);
    }
    packet_ = ffmpeg::makePacket();
}

ffmpeg::FramePtr VideoEncoder::convert(const VideoItem& item) {
    ffmpeg::FramePtr frame;
    if (!spare_.empty()) {
        frame = std::move(spare_.back());
        spare_.pop_back();
        check(av_frame_make_writable(frame.get()), Kind::encodingFailed, "Cannot reuse a frame");
    } else {
        frame = ffmpeg::makeFrame();
        frame->format = AV_PIX_FMT_YUV420P;
        frame->width = encodedWidth_;
        frame->height = encodedHeight_;
        check(av_frame_get_buffer(frame.get(), 0), Kind::encodingFailed, "Cannot allocate a frame");
    }
    int width = std::min(settings_.width, encodedWidth_);
    int height = std::min(settings_.height, encodedHeight_);
    ffmpeg::FramePtr source = ffmpeg::frameOver(item.buffer, width, height);
    ffmpeg::ScaleFormats formats;
    formats.sourceWidth = width;
    formats.sourceHeight = height;
    formats.sourceFormat = AV_PIX_FMT_BGRA;
    formats.sourceFullRange = true;
    formats.destinationWidth = encodedWidth_;
    formats.destinationHeight = encodedHeight_;
    formats.destinationFormat = AV_PIX_FMT_YUV420P;
    formats.destinationColorspace = AVCOL_SPC_BT709;
    formats.destinationFullRange = false;
    scaler_.scale(formats, *source, *frame);
    frame->color_range = AVCOL_RANGE_MPEG;
    frame->colorspace = AVCOL_SPC_BT709;
    frame->color_primaries = AVCOL_PRI_BT709;
    frame->color_trc = AVCOL_TRC_BT709;
    return frame;
}

void VideoEncoder::encode(const VideoItem& item, WriterCore& core) {
    if (item.buffer.width() != settings_.width || item.buffer.height() != settings_.height) {
        throw MediaError(Kind::invalidArgument, "Frame of " + std::to_string(item.buffer.width()) +
                                                    "x" + std::to_string(item.buffer.height()) +
                                                    " for a track of " +
                                                    std::to_string(settings_.width) + "x" +
                                                    std::to_string(settings_.height));
    }
    MediaTime offset = item.time - core.sessionStart;
    std::int64_t time = offset.convertScale(streamTimeBase_.den).value();
    if (time < 0) {
        throw MediaError(Kind::invalidArgument,
                         "Frame at " + item.time.description() + " before the session start");
    }
    if (held_ && time <= heldTime_) {
        throw MediaError(Kind::invalidArgument,
                         "Frame times must increase (" + item.time.description() + ")");
    }
    ffmpeg::FramePtr frame = convert(item);
    // The nearest whole frame, later than the one before: frames closer than
    // one frame apart still reach the muxer at their own times.
    std::int64_t pts = (time + kTicksPerFrame / 2) / kTicksPerFrame;
    if (held_ || first_) {
        pts = std::max(pts, lastEncoderPts_ + 1);
    }
    frame->pts = pts;
    lastEncoderPts_ = pts;
    if (!first_) {
        first_ = {pts, time};
    }
    if (held_) {
        send(std::move(held_), Timing{heldTime_, time - heldTime_}, core);
    }
    held_ = std::move(frame);
    heldTime_ = time;
}

void VideoEncoder::flush(WriterCore& core) {
    if (held_) {
        send(std::move(held_), Timing{heldTime_, kTicksPerFrame}, core);
    }
    check(avcodec_send_frame(codec_.get(), nullptr), Kind::encodingFailed,
          "Cannot finish the video");
    drain(core);
}

void VideoEncoder::send(ffmpeg::FramePtr frame, Timing timing, WriterCore& core) {
    timings_[frame->pts] = timing;
    frame->pkt_duration = std::max<std::int64_t>(1, timing.duration / kTicksPerFrame);
    check(avcodec_send_frame(codec_.get(), frame.get()), Kind::encodingFailed,
          "Cannot encode video");
    spare_.push_back(std::move(frame));
    drain(core);
}

std::int64_t VideoEncoder::streamTime(std::int64_t encoderTime) const {
    auto known = timings_.lower_bound(encoderTime);
    if (known != timings_.end() && known->first == encoderTime) {
        return known->second.time;
    }
    // Decode times before the first frame (B-frame delay) or, rarely, between
    // frames: whole frames before the next known frame.
    std::int64_t nextKey = known != timings_.end() ? known->first : first_->first;
    std::int64_t nextTime = known != timings_.end() ? known->second.time : first_->second;
    return nextTime - (nextKey - encoderTime) * kTicksPerFrame;
}

void VideoEncoder::drain(WriterCore& core) {
    while (true) {
        int received = avcodec_receive_packet(codec_.get(), packet_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
            return;
        }
        check(received, Kind::encodingFailed, "Cannot encode video");
        auto known = timings_.find(packet_->pts);
        if (known == timings_.end()) {
            av_packet_unref(packet_.get());
            throw MediaError(Kind::encodingFailed, "The encoder returned an unknown frame time");
        }
        std::int64_t pts = known->second.time;
        std::int64_t duration = known->second.duration;
        std::int64_t dts = std::min(streamTime(packet_->dts), pts);
        if (lastDecodeTime_ && dts <= *lastDecodeTime_) {
            dts = *lastDecodeTime_ + 1;
        }
        lastDecodeTime_ = dts;
        // Later packets decode after this one and show no earlier: the frames
        // before its decode time are done with.
        timings_.erase(timings_.begin(), timings_.lower_bound(packet_->dts));
        packet_->pts = pts;
        packet_->dts = dts;
        packet_->duration = duration;
        try {
            core.writePacket(*packet_, *stream_, streamTimeBase_);
        } catch (...) {
            av_packet_unref(packet_.get());
            throw;
        }
        av_packet_unref(packet_.get());
    }
}

} // namespace vexel::media
