#include "platform/media/detail/AudioEncoder.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

#include <algorithm>

namespace vexel::media {

namespace {

using ffmpeg::check;
using Kind = MediaError::Kind;

constexpr int kMaxChannels = 16;

} // namespace

AudioEncoder::AudioEncoder(AudioSettings settings)
    : settings_(settings) {
    if (!(settings_.sampleRate >= 8000 && settings_.sampleRate <= 96000 &&
          settings_.channelCount >= 1 && settings_.channelCount <= 8 && settings_.bitRate >= 8000 &&
          settings_.bitRate <= 1536000)) {
        throw MediaError(Kind::invalidArgument, "Audio settings out of range");
    }
}

AudioEncoder::~AudioEncoder() {
    if (converted_) {
        av_freep(&converted_[0]);
        av_freep(&converted_);
    }
}

void AudioEncoder::open(WriterCore& core) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!codec) {
        throw MediaError(Kind::unsupported, "No AAC encoder");
    }
    codec_.reset(avcodec_alloc_context3(codec));
    if (!codec_) {
        throw std::bad_alloc();
    }
    AVCodecContext& c = *codec_;
    c.sample_fmt = AV_SAMPLE_FMT_FLTP;
    c.sample_rate = settings_.sampleRate;
    av_channel_layout_default(&c.ch_layout, settings_.channelCount);
    c.bit_rate = settings_.bitRate;
    c.time_base = AVRational{1, settings_.sampleRate};
    if (core.format->oformat->flags & AVFMT_GLOBALHEADER) {
        c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    check(avcodec_open2(&c, codec, nullptr), Kind::unsupported, "Cannot open the AAC encoder");

    stream_ = avformat_new_stream(core.format.get(), nullptr);
    if (!stream_) {
        throw std::bad_alloc();
    }
    stream_->time_base = c.time_base;
    check(avcodec_parameters_from_context(stream_->codecpar, &c), Kind::unsupported,
          "Cannot describe the audio track");

    fifo_.reset(av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, settings_.channelCount, c.frame_size));
    if (!fifo_) {
        throw std::bad_alloc();
    }
    packet_ = ffmpeg::makePacket();
}

void AudioEncoder::configureResampler(int rate, int channels) {
    if (resampler_ && inputRate_ == rate && inputChannels_ == channels) {
        return;
    }
    if (resampler_) {
        // Keep what the old resampler still holds before switching formats.
        resampleIntoFifo(nullptr, 0);
    }
    AVChannelLayout input{};
    av_channel_layout_default(&input, channels);
    SwrContext* raw = nullptr;
    int made =
        swr_alloc_set_opts2(&raw, &codec_->ch_layout, AV_SAMPLE_FMT_FLTP, settings_.sampleRate,
                            &input, AV_SAMPLE_FMT_FLT, rate, 0, nullptr);
    av_channel_layout_uninit(&input);
    resampler_.reset(raw);
    check(made, Kind::unsupported, "Cannot convert audio");
    check(swr_init(resampler_.get()), Kind::unsupported, "Cannot convert audio");
    inputRate_ = rate;
    inputChannels_ = channels;
}

void AudioEncoder::resampleIntoFifo(const std::uint8_t* const* input, int count) {
    int capacity = check(swr_get_out_samples(resampler_.get(), count), Kind::encodingFailed,
                         "Cannot convert audio");
    if (capacity == 0) {
        return;
    }
    if (capacity > convertedCapacity_) {
        if (converted_) {
            av_freep(&converted_[0]);
            av_freep(&converted_);
        }
        convertedCapacity_ = 0;
        check(av_samples_alloc_array_and_samples(&converted_, nullptr, settings_.channelCount,
                                                 capacity, AV_SAMPLE_FMT_FLTP, 0),
              Kind::encodingFailed, "Cannot allocate audio");
        convertedCapacity_ = capacity;
    }
    int produced = check(swr_convert(resampler_.get(), converted_, capacity,
                                     const_cast<const std::uint8_t**>(input), count),
                         Kind::encodingFailed, "Cannot convert audio");
    if (produced > 0) {
        void* const* planes = reinterpret_cast<void* const*>(converted_);
        if (av_audio_fifo_write(fifo_.get(), const_cast<void**>(planes), produced) < produced) {
            throw std::bad_alloc();
        }
    }
}

void AudioEncoder::encode(const FloatAudioSamples& samples, WriterCore& core) {
    if (!(samples.sampleRate >= 1000 && samples.sampleRate <= 768000 && samples.channelCount >= 1 &&
          samples.channelCount <= kMaxChannels &&
          samples.samples.size() % static_cast<std::size_t>(samples.channelCount) == 0)) {
        throw MediaError(Kind::invalidArgument, "Audio samples of an unsupported format");
    }
    const float* data = samples.samples.data();
    auto count = static_cast<std::int64_t>(samples.frameCount());
    if (!nextPts_) {
        // The track starts at the first run's time; earlier samples are cut.
        std::int64_t start =
            (samples.time - core.sessionStart).convertScale(samples.sampleRate).value();
        if (start < 0) {
            skip_ = -start;
            start = 0;
        }
        nextPts_ = MediaTime(start, samples.sampleRate).convertScale(settings_.sampleRate).value();
    }
    if (skip_ > 0) {
        std::int64_t skipped = std::min(skip_, count);
        skip_ -= skipped;
        data += skipped * samples.channelCount;
        count -= skipped;
    }
    if (count == 0) {
        return;
    }
    configureResampler(samples.sampleRate, samples.channelCount);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
    resampleIntoFifo(&bytes, static_cast<int>(count));
    while (av_audio_fifo_size(fifo_.get()) >= codec_->frame_size) {
        encodeFromFifo(codec_->frame_size, core);
    }
}

void AudioEncoder::encodeFromFifo(int frameSamples, WriterCore& core) {
    ffmpeg::FramePtr frame = ffmpeg::makeFrame();
    frame->nb_samples = frameSamples;
    frame->format = AV_SAMPLE_FMT_FLTP;
    frame->sample_rate = settings_.sampleRate;
    check(av_channel_layout_copy(&frame->ch_layout, &codec_->ch_layout), Kind::encodingFailed,
          "Cannot encode audio");
    check(av_frame_get_buffer(frame.get(), 0), Kind::encodingFailed, "Cannot allocate audio");
    if (av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame->data), frameSamples) <
        frameSamples) {
        throw MediaError(Kind::encodingFailed, "Cannot read buffered audio");
    }
    frame->pts = nextPts_.value_or(0);
    nextPts_ = frame->pts + frameSamples;
    check(avcodec_send_frame(codec_.get(), frame.get()), Kind::encodingFailed,
          "Cannot encode audio");
    drain(core);
}

void AudioEncoder::flush(WriterCore& core) {
    if (resampler_) {
        resampleIntoFifo(nullptr, 0);
    }
    while (int left = av_audio_fifo_size(fifo_.get())) {
        encodeFromFifo(std::min(left, codec_->frame_size), core);
    }
    check(avcodec_send_frame(codec_.get(), nullptr), Kind::encodingFailed,
          "Cannot finish the audio");
    drain(core);
}

void AudioEncoder::drain(WriterCore& core) {
    while (true) {
        int received = avcodec_receive_packet(codec_.get(), packet_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
            return;
        }
        check(received, Kind::encodingFailed, "Cannot encode audio");
        try {
            core.writePacket(*packet_, *stream_, codec_->time_base);
        } catch (...) {
            av_packet_unref(packet_.get());
            throw;
        }
        av_packet_unref(packet_.get());
    }
}

} // namespace vexel::media
