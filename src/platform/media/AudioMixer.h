#pragma once

#include "platform/media/AudioMix.h"
#include "platform/media/AudioSamples.h"
#include "platform/media/Composition.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>

namespace vexel::media {

// The mixed sound of a composition's audio tracks at 44100 Hz stereo float,
// from any start time to the composition's end: every segment decoded and
// resampled, speed changes keeping pitch, each track's volume applied, the
// tracks summed and gaps silent. Sample n plays at n / 44100 s; the mix holds
// the samples of [start, duration) exactly.
//
// Pulled from one thread. Decoding runs on the caller's thread unless a
// parallel-for is given, which then renders the tracks side by side.
class AudioMixer {
public:
    static constexpr int sampleRate = 44100;
    static constexpr int channelCount = 2;

    // Runs body(0) ... body(count - 1), possibly at once, and returns when all
    // are done, rethrowing an exception of one of them.
    using ParallelFor =
        std::function<void(std::size_t count, const std::function<void(std::size_t)>& body)>;

    AudioMixer(Composition composition, std::optional<AudioMix> audioMix,
               const MediaTime& start = MediaTime::zero(), ParallelFor parallelFor = {});
    ~AudioMixer();

    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;

    // Sample frames left before the composition's end.
    std::int64_t remainingFrames() const;

    // The next run of at most `maxFrames` frames; nothing at the end. Throws
    // MediaError when a source cannot be read.
    std::optional<FloatAudioSamples> next(std::size_t maxFrames);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace vexel::media
