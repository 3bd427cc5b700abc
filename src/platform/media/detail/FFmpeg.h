#pragma once

// RAII holders for FFmpeg objects and the translation of FFmpeg errors into
// MediaError. Internal to the media layer.

#include "platform/media/MediaError.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace vexel::media::ffmpeg {

struct InputContextDelete {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct OutputContextDelete {
    void operator()(AVFormatContext* context) const {
        if (context->pb && !(context->oformat->flags & AVFMT_NOFILE)) {
            avio_closep(&context->pb);
        }
        avformat_free_context(context);
    }
};
struct CodecContextDelete {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameDelete {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDelete {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScaleContextDelete {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct ResampleContextDelete {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
struct AudioFifoDelete {
    void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};
struct DictionaryDelete {
    void operator()(AVDictionary* dictionary) const { av_dict_free(&dictionary); }
};

using InputContextPtr = std::unique_ptr<AVFormatContext, InputContextDelete>;
using OutputContextPtr = std::unique_ptr<AVFormatContext, OutputContextDelete>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDelete>;
using FramePtr = std::unique_ptr<AVFrame, FrameDelete>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDelete>;
using ScaleContextPtr = std::unique_ptr<SwsContext, ScaleContextDelete>;
using ResampleContextPtr = std::unique_ptr<SwrContext, ResampleContextDelete>;
using AudioFifoPtr = std::unique_ptr<AVAudioFifo, AudioFifoDelete>;

// A dictionary of options that frees whatever FFmpeg leaves in it.
class Options {
public:
    Options() = default;
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;
    ~Options() { av_dict_free(&dictionary_); }

    void set(const char* key, const char* value) { av_dict_set(&dictionary_, key, value, 0); }
    AVDictionary** get() { return &dictionary_; }

private:
    AVDictionary* dictionary_ = nullptr;
};

// FFmpeg's text for an error code.
std::string errorText(int code);

// Throws MediaError(kind, "<context>: <FFmpeg's text>") when code < 0;
// returns code otherwise.
int check(int code, MediaError::Kind kind, std::string_view context);

FramePtr makeFrame();
PacketPtr makePacket();

// The URL under which FFmpeg opens a local path without reading a protocol
// name into it ("a:b.mp4").
std::string fileUrl(const std::filesystem::path& path);

// Throws MediaError(cannotOpen, "<context>: not a regular file") when the
// path, links followed, names anything but a regular file. Checked before
// FFmpeg opens it: opening a pipe waits for a writer that may never come, and
// a device may never end. A path with nothing at it passes, for FFmpeg to
// report.
void requireRegularFile(const std::filesystem::path& path, std::string_view context);

} // namespace vexel::media::ffmpeg
