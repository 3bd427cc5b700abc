#pragma once

#include "platform/playback/AudioSink.h"
#include "platform/playback/MonotonicClock.h"
#include "platform/playback/detail/ClockPosition.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace vexel::playback {

// Plays nothing and keeps time by a clock, for machines without a sound
// device: while playing, the position moves on at the sample rate whatever
// was written. Its buffer holds a fifth of a second, so that the writer keeps
// pace with playback; what a late writer gives for moments already passed is
// dropped.
class SilentAudioSink final : public AudioSink {
public:
    static constexpr std::int64_t bufferFrames = sampleRate / 5;

    explicit SilentAudioSink(std::shared_ptr<MonotonicClock> clock);

    void beginRun(std::uint64_t run) override;
    bool write(std::uint64_t run, std::span<const float> samples, std::stop_token stop) override;
    void setPlaying(bool playing) override;
    std::int64_t position() const override;

private:
    std::shared_ptr<MonotonicClock> clock_;
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::uint64_t run_ = 0;
    detail::ClockPosition position_;
    std::int64_t written_ = 0;
};

} // namespace vexel::playback
