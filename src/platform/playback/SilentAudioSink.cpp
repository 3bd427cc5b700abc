#include "platform/playback/SilentAudioSink.h"

#include <algorithm>

namespace vexel::playback {

SilentAudioSink::SilentAudioSink(std::shared_ptr<MonotonicClock> clock)
    : clock_(std::move(clock)) {}

void SilentAudioSink::beginRun(std::uint64_t run) {
    std::lock_guard lock(mutex_);
    run_ = run;
    position_ = {};
    written_ = 0;
    changed_.notify_all();
}

bool SilentAudioSink::write(std::uint64_t run, std::span<const float> samples,
                            std::stop_token stop) {
    auto frames = static_cast<std::int64_t>(samples.size() / channelCount);
    std::unique_lock lock(mutex_);
    while (frames > 0) {
        if (stop.stop_requested() || run != run_) {
            return false;
        }
        std::int64_t position = position_.at(clock_->now());
        written_ = std::max(written_, position);
        std::int64_t room = bufferFrames - (written_ - position);
        if (room > 0) {
            std::int64_t taken = std::min(room, frames);
            written_ += taken;
            frames -= taken;
            continue;
        }
        if (!position_.playing()) {
            changed_.wait(lock, stop, [&] { return position_.playing() || run != run_; });
            continue;
        }
        // Wait until a quarter of the buffer (or all that is left) has room.
        std::int64_t wanted = std::min(frames, bufferFrames / 4);
        MonotonicClock::Duration deadline = position_.timeOf(written_ - bufferFrames + wanted);
        lock.unlock();
        clock_->waitUntil(deadline, stop);
        lock.lock();
    }
    return true;
}

void SilentAudioSink::setPlaying(bool playing) {
    std::lock_guard lock(mutex_);
    if (playing != position_.playing()) {
        position_.setPlaying(playing, clock_->now());
        changed_.notify_all();
    }
}

std::int64_t SilentAudioSink::position() const {
    std::lock_guard lock(mutex_);
    return position_.at(clock_->now());
}

} // namespace vexel::playback
