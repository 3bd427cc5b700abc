#pragma once

// Converts PCM to the AAC encoder's format and encodes it for one audio track.
// Internal to the media layer; runs on its input's thread after open().

#include "platform/media/AudioSamples.h"
#include "platform/media/detail/FFmpeg.h"
#include "platform/media/detail/WriterCore.h"

#include <optional>

namespace vexel::media {

class AudioEncoder {
public:
    using Settings = AudioSettings;
    // Float, as compositions are mix; 16-bit runs are converted on the way in.
    using Item = FloatAudioSamples;

    // Throws MediaError (invalidArgument) for settings it cannot encode.
    explicit AudioEncoder(AudioSettings settings);
    ~AudioEncoder();

    const AudioSettings& settings() const { return settings_; }

    void open(WriterCore& core);
    void encode(const FloatAudioSamples& samples, WriterCore& core);
    // Encodes what the resampler and the FIFO still hold and drains the encoder.
    void flush(WriterCore& core);

private:
    void configureResampler(int rate, int channels);
    void resampleIntoFifo(const std::uint8_t* const* input, int count);
    void encodeFromFifo(int frameSamples, WriterCore& core);
    void drain(WriterCore& core);

    AudioSettings settings_;
    AVStream* stream_ = nullptr;
    ffmpeg::CodecContextPtr codec_;
    ffmpeg::ResampleContextPtr resampler_;
    int inputRate_ = 0;
    int inputChannels_ = 0;
    ffmpeg::AudioFifoPtr fifo_;
    ffmpeg::PacketPtr packet_;
    // Sample frames to leave out before the session start.
    std::int64_t skip_ = 0;
    // Presentation time of the next encoder frame, in samples.
    std::optional<std::int64_t> nextPts_;
    std::uint8_t** converted_ = nullptr;
    int convertedCapacity_ = 0;
};

} // namespace vexel::media
