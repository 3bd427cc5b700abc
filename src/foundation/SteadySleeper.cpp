#include "foundation/SteadySleeper.h"

#include "foundation/CancellationError.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <mutex>

namespace vexel {

void SteadySleeper::sleepFor(std::chrono::duration<double> delay, std::stop_token stop) {
    throwIfCancelled(stop);
    const double seconds = delay.count();
    if (!(seconds > 0)) {
        return;
    }
    // Longer than anyone waits, and short enough not to overflow the clock.
    const double bounded = std::min(seconds, 365.0 * 24 * 3600);
    const auto duration = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(bounded));

    std::mutex mutex;
    std::condition_variable_any wakeUp;
    std::unique_lock lock(mutex);
    wakeUp.wait_for(lock, stop, duration, [] { return false; });
    throwIfCancelled(stop);
}

} // namespace vexel
