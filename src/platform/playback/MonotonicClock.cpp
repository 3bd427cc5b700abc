#include "platform/playback/MonotonicClock.h"

#include <condition_variable>
#include <mutex>

namespace vexel::playback {

MonotonicClock::Duration SteadyMonotonicClock::now() const {
    return std::chrono::duration_cast<Duration>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void SteadyMonotonicClock::waitUntil(Duration deadline, std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wakeUp;
    std::unique_lock lock(mutex);
    wakeUp.wait_until(lock, stop, std::chrono::steady_clock::time_point(deadline),
                      [] { return false; });
}

} // namespace vexel::playback
