#pragma once

#include <cstdint>
#include <span>
#include <stop_token>

namespace vexel::playback {

// Where the player's sound goes, and the master clock of playback: the
// position of the sound being heard. Sound comes in runs, one for each place
// playback starts from; a new run drops what is left of the one before.
// Sound is interleaved stereo float at 44100 Hz. Every operation is
// thread-safe.
class AudioSink {
public:
    static constexpr int sampleRate = 44100;
    static constexpr int channelCount = 2;

    virtual ~AudioSink() = default;

    // Drops every queued sample and begins run `run`, paused at position 0.
    virtual void beginRun(std::uint64_t run) = 0;

    // Queues samples of run `run`, waiting while the sink's buffer is full.
    // False, with what fitted queued, once `stop` is requested or another run
    // has begun.
    virtual bool write(std::uint64_t run, std::span<const float> samples, std::stop_token stop) = 0;

    // Whether the current run's sound plays, moving the position on.
    virtual void setPlaying(bool playing) = 0;

    // Sample frames of the current run heard so far.
    virtual std::int64_t position() const = 0;
};

} // namespace vexel::playback
