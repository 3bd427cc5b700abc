#pragma once

#include "platform/playback/MonotonicClock.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace vexel::testing {

// A clock that moves only when the test moves it; waits end when it passes
// their deadline.
class ManualClock final : public playback::MonotonicClock {
public:
    Duration now() const override {
        std::lock_guard lock(mutex_);
        return now_;
    }

    void waitUntil(Duration deadline, std::stop_token stop) override {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, stop, [&] { return now_ >= deadline; });
    }

    void advanceTo(Duration time) {
        std::lock_guard lock(mutex_);
        now_ = std::max(now_, time);
        changed_.notify_all();
    }
    void advanceBy(Duration span) { advanceTo(now() + span); }

private:
    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    Duration now_{std::chrono::seconds(1000)};
};

} // namespace vexel::testing
