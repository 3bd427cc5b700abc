#include "support/ForeignMedia.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>

namespace vexel::testing {

namespace {

std::string describe(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

void check(int result, const std::string& what) {
    if (result < 0) {
        throw std::runtime_error(what + ": " + describe(result));
    }
}

struct FormatDeleter {
    void operator()(AVFormatContext* format) const {
        if (format->pb && !(format->oformat->flags & AVFMT_NOFILE)) {
            avio_closep(&format->pb);
        }
        avformat_free_context(format);
    }
};
struct CodecDeleter {
    void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScalerDeleter {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};
struct ResamplerDeleter {
    void operator()(SwrContext* resampler) const { swr_free(&resampler); }
};
struct FifoDeleter {
    void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};

using Format = std::unique_ptr<AVFormatContext, FormatDeleter>;
using Codec = std::unique_ptr<AVCodecContext, CodecDeleter>;
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;
using Packet = std::unique_ptr<AVPacket, PacketDeleter>;

Frame makeFrame() {
    Frame frame(av_frame_alloc());
    if (!frame) {
        throw std::runtime_error("av_frame_alloc");
    }
    return frame;
}

void paintTestFrame(int index, std::uint8_t* bgra, int stride, int width, int height) {
    const std::uint8_t level = foreignFrameLevel(index);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bgra + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const bool mark = x < 8 && y < 8;
            const bool left = x < width / 2;
            std::uint8_t* p = row + 4 * x;
            p[0] = mark ? 255 : left ? level : 255;
            p[1] = mark ? 255 : left ? level : 0;
            p[2] = mark ? 255 : left ? level : 0;
            p[3] = 255;
        }
    }
}

// One encoder and its stream; packets go to the muxer as they come.
struct Output {
    Codec codec;
    AVStream* stream = nullptr;
};

void drain(AVFormatContext* format, Output& output, AVFrame* frame) {
    check(avcodec_send_frame(output.codec.get(), frame), "send frame");
    Packet packet(av_packet_alloc());
    for (;;) {
        const int result = avcodec_receive_packet(output.codec.get(), packet.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            return;
        }
        check(result, "receive packet");
        av_packet_rescale_ts(packet.get(), output.codec->time_base, output.stream->time_base);
        packet->stream_index = output.stream->index;
        check(av_interleaved_write_frame(format, packet.get()), "write packet");
    }
}

const AVCodec* findEncoder(const std::string& name) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(name.c_str());
    if (!encoder) {
        throw std::runtime_error("no encoder " + name);
    }
    return encoder;
}

Output openVideo(AVFormatContext* format, const ForeignVideo& video) {
    const AVCodec* encoder = findEncoder(video.encoder);
    Output output{Codec(avcodec_alloc_context3(encoder)), avformat_new_stream(format, nullptr)};
    AVCodecContext* codec = output.codec.get();
    codec->width = video.width;
    codec->height = video.height;
    codec->time_base = AVRational{video.rateDenominator, video.rateNumerator};
    codec->framerate = AVRational{video.rateNumerator, video.rateDenominator};
    codec->sample_aspect_ratio = AVRational{video.aspectNumerator, video.aspectDenominator};
    codec->gop_size = 12;
    if (!video.pixelFormat.empty()) {
        codec->pix_fmt = av_get_pix_fmt(video.pixelFormat.c_str());
    } else if (encoder->pix_fmts) {
        codec->pix_fmt = encoder->pix_fmts[0];
    } else {
        codec->pix_fmt = AV_PIX_FMT_YUV420P;
    }
    if (video.fields != FieldOrder::progressive) {
        codec->flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
        codec->field_order = video.fields == FieldOrder::topFieldFirst ? AV_FIELD_TT : AV_FIELD_BB;
    }
    if (format->oformat->flags & AVFMT_GLOBALHEADER) {
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    // Still-picture and intra-only encoders want strict compliance off for
    // the odd formats tests ask of them.
    codec->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    AVDictionary* options = nullptr;
    for (const auto& [key, value] : video.options) {
        av_dict_set(&options, key.c_str(), value.c_str(), 0);
    }
    const int opened = avcodec_open2(codec, encoder, &options);
    av_dict_free(&options);
    check(opened, "open " + video.encoder);
    output.stream->time_base = codec->time_base;
    output.stream->avg_frame_rate = codec->framerate;
    output.stream->sample_aspect_ratio = codec->sample_aspect_ratio;
    check(avcodec_parameters_from_context(output.stream->codecpar, codec), "video parameters");
    return output;
}

Output openAudio(AVFormatContext* format, const ForeignAudio& audio) {
    const AVCodec* encoder = findEncoder(audio.encoder);
    Output output{Codec(avcodec_alloc_context3(encoder)), avformat_new_stream(format, nullptr)};
    AVCodecContext* codec = output.codec.get();
    codec->sample_rate = audio.sampleRate;
    av_channel_layout_default(&codec->ch_layout, audio.channels);
    codec->sample_fmt = encoder->sample_fmts ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    codec->time_base = AVRational{1, audio.sampleRate};
    codec->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    if (format->oformat->flags & AVFMT_GLOBALHEADER) {
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    AVDictionary* options = nullptr;
    for (const auto& [key, value] : audio.options) {
        av_dict_set(&options, key.c_str(), value.c_str(), 0);
    }
    const int opened = avcodec_open2(codec, encoder, &options);
    av_dict_free(&options);
    check(opened, "open " + audio.encoder);
    output.stream->time_base = codec->time_base;
    check(avcodec_parameters_from_context(output.stream->codecpar, codec), "audio parameters");
    return output;
}

void writeVideo(AVFormatContext* format, Output& output, const ForeignVideo& video,
                double startSeconds) {
    AVCodecContext* codec = output.codec.get();
    std::unique_ptr<SwsContext, ScalerDeleter> scaler(sws_getContext(
        video.width, video.height, AV_PIX_FMT_BGRA, video.width, video.height, codec->pix_fmt,
        SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr));
    if (!scaler) {
        throw std::runtime_error("no conversion to " +
                                 std::string(av_get_pix_fmt_name(codec->pix_fmt)));
    }
    const int stride = video.width * 4;
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(stride) * video.height);
    const PaintFrame& paint = video.paint ? video.paint : PaintFrame(paintTestFrame);
    const auto offset = std::llround(startSeconds * video.rateNumerator / video.rateDenominator);
    for (int i = 0; i < video.frameCount; ++i) {
        paint(i, bgra.data(), stride, video.width, video.height);
        Frame frame = makeFrame();
        frame->format = codec->pix_fmt;
        frame->width = video.width;
        frame->height = video.height;
        check(av_frame_get_buffer(frame.get(), 0), "frame buffer");
        const std::uint8_t* source[1] = {bgra.data()};
        const int sourceStride[1] = {stride};
        sws_scale(scaler.get(), source, sourceStride, 0, video.height, frame->data,
                  frame->linesize);
        frame->pts = offset + i;
        frame->sample_aspect_ratio = codec->sample_aspect_ratio;
        if (video.fields != FieldOrder::progressive) {
            frame->interlaced_frame = 1;
            frame->top_field_first = video.fields == FieldOrder::topFieldFirst ? 1 : 0;
        }
        drain(format, output, frame.get());
    }
}

void writeAudio(AVFormatContext* format, Output& output, const ForeignAudio& audio,
                double startSeconds) {
    AVCodecContext* codec = output.codec.get();
    SwrContext* raw = nullptr;
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, audio.channels);
    check(swr_alloc_set_opts2(&raw, &codec->ch_layout, codec->sample_fmt, codec->sample_rate,
                              &layout, AV_SAMPLE_FMT_FLT, audio.sampleRate, 0, nullptr),
          "resampler");
    std::unique_ptr<SwrContext, ResamplerDeleter> resampler(raw);
    check(swr_init(resampler.get()), "resampler init");

    const int frameSize = codec->frame_size > 0 ? codec->frame_size : 1024;
    const auto total = static_cast<std::int64_t>(std::llround(audio.seconds * audio.sampleRate));
    const auto offset = std::llround(startSeconds * audio.sampleRate);
    std::unique_ptr<AVAudioFifo, FifoDeleter> fifo(
        av_audio_fifo_alloc(codec->sample_fmt, audio.channels, frameSize * 2));
    std::int64_t generated = 0;
    std::int64_t written = 0;
    std::vector<float> tone;
    auto sendFrames = [&](bool last) {
        while (av_audio_fifo_size(fifo.get()) >= frameSize ||
               (last && av_audio_fifo_size(fifo.get()) > 0)) {
            const int count = std::min(frameSize, av_audio_fifo_size(fifo.get()));
            Frame frame = makeFrame();
            frame->format = codec->sample_fmt;
            frame->sample_rate = codec->sample_rate;
            check(av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout), "layout");
            // Encoders with a fixed frame size take a short last frame only
            // when they say they do; pad it with silence otherwise.
            const bool padded = count < frameSize && codec->frame_size > 0 &&
                                !(codec->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);
            frame->nb_samples = padded ? frameSize : count;
            check(av_frame_get_buffer(frame.get(), 0), "audio buffer");
            av_samples_set_silence(frame->data, 0, frame->nb_samples, audio.channels,
                                   codec->sample_fmt);
            av_audio_fifo_read(fifo.get(), reinterpret_cast<void**>(frame->data), count);
            frame->pts = offset + written;
            written += count;
            drain(format, output, frame.get());
        }
    };
    while (generated < total) {
        const int count = static_cast<int>(std::min<std::int64_t>(frameSize, total - generated));
        tone.resize(static_cast<std::size_t>(count) * audio.channels);
        for (int i = 0; i < count; ++i) {
            const double phase = 2 * std::numbers::pi * audio.frequency *
                                 static_cast<double>(generated + i) / audio.sampleRate;
            for (int c = 0; c < audio.channels; ++c) {
                tone[static_cast<std::size_t>(i) * audio.channels + c] =
                    static_cast<float>(0.4 * std::sin(phase));
            }
        }
        generated += count;
        uint8_t** converted = nullptr;
        const int capacity = swr_get_out_samples(resampler.get(), count);
        check(av_samples_alloc_array_and_samples(&converted, nullptr, audio.channels, capacity,
                                                 codec->sample_fmt, 0),
              "audio samples");
        const std::uint8_t* input[1] = {reinterpret_cast<const std::uint8_t*>(tone.data())};
        const int got = swr_convert(resampler.get(), converted, capacity, input, count);
        if (got > 0) {
            av_audio_fifo_write(fifo.get(), reinterpret_cast<void**>(converted), got);
        }
        av_freep(&converted[0]);
        av_freep(&converted);
        check(got, "convert audio");
        sendFrames(false);
    }
    sendFrames(true);
}

} // namespace

std::uint8_t foreignFrameLevel(int index) {
    return static_cast<std::uint8_t>(16 + (index * 4) % 224);
}

void writeForeignMedia(const std::filesystem::path& path, const ForeignMedia& media) {
    AVFormatContext* raw = nullptr;
    check(avformat_alloc_output_context2(&raw, nullptr, media.container.c_str(), path.c_str()),
          "muxer " + media.container);
    Format format(raw);
    std::optional<Output> video;
    std::optional<Output> audio;
    if (media.video) {
        video = openVideo(format.get(), *media.video);
    }
    if (media.audio) {
        audio = openAudio(format.get(), *media.audio);
    }
    check(avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE), "open " + path.string());
    AVDictionary* options = nullptr;
    for (const auto& [key, value] : media.muxerOptions) {
        av_dict_set(&options, key.c_str(), value.c_str(), 0);
    }
    const int started = avformat_write_header(format.get(), &options);
    av_dict_free(&options);
    check(started, "write header");
    if (video) {
        writeVideo(format.get(), *video, *media.video, media.startSeconds);
        drain(format.get(), *video, nullptr);
    }
    if (audio) {
        writeAudio(format.get(), *audio, *media.audio, media.startSeconds);
        drain(format.get(), *audio, nullptr);
    }
    check(av_write_trailer(format.get()), "write trailer");
}

void writeForeignImage(const std::filesystem::path& path, const std::string& encoder,
                       const std::string& muxer, int width, int height, const PaintFrame& paint,
                       const Options& options) {
    ForeignVideo picture{.encoder = encoder,
                         .width = width,
                         .height = height,
                         .frameCount = 1,
                         .options = options,
                         .paint = paint};
    writeForeignMedia(
        path,
        ForeignMedia{.container = muxer,
                     .video = picture,
                     .muxerOptions = muxer == "image2" ? Options{{"update", "1"}} : Options{}});
}

} // namespace vexel::testing
