#pragma once

// A sound position that moves on at the sample rate by a clock while
// playing. Internal to the player's sinks.

#include "platform/playback/AudioSink.h"
#include "platform/playback/MonotonicClock.h"

#include <algorithm>

namespace vexel::playback::detail {

class ClockPosition {
public:
    using Duration = MonotonicClock::Duration;

    // Whole sample frames in a span of time (none in a negative one).
    static std::int64_t framesIn(Duration span) {
        std::int64_t ns = std::max<std::int64_t>(span.count(), 0);
        return ns / kNanosecondsPerSecond * AudioSink::sampleRate +
               ns % kNanosecondsPerSecond * AudioSink::sampleRate / kNanosecondsPerSecond;
    }

    // The shortest span of time that holds `frames` whole frames.
    static Duration spanOf(std::int64_t frames) {
        frames = std::max<std::int64_t>(frames, 0);
        std::int64_t seconds = frames / AudioSink::sampleRate;
        std::int64_t rest = frames % AudioSink::sampleRate;
        return Duration(seconds * kNanosecondsPerSecond +
                        (rest * kNanosecondsPerSecond + AudioSink::sampleRate - 1) /
                            AudioSink::sampleRate);
    }

    std::int64_t at(Duration now) const {
        return playing_ ? base_ + framesIn(now - anchor_) : base_;
    }
    bool playing() const { return playing_; }

    // The position is `position` at `now`; playing or not stays.
    void reset(std::int64_t position, Duration now) {
        base_ = position;
        anchor_ = now;
    }
    void setPlaying(bool playing, Duration now) {
        reset(at(now), now);
        playing_ = playing;
    }
    // When the position reaches `frames`, if it keeps playing.
    Duration timeOf(std::int64_t frames) const { return anchor_ + spanOf(frames - base_); }

private:
    static constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;

    bool playing_ = false;
    std::int64_t base_ = 0;
    Duration anchor_{};
};

} // namespace vexel::playback::detail
