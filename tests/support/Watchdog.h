#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>

namespace vexel::test {

// A stop token that fires after a time limit, so that a wait in a test that
// should end never hangs the test program.
class Watchdog {
public:
    explicit Watchdog(std::chrono::milliseconds limit)
        : timer_([this, limit](std::stop_token disarmed) {
            std::mutex mutex;
            std::condition_variable_any wakeUp;
            std::unique_lock lock(mutex);
            if (!wakeUp.wait_for(lock, disarmed, limit, [] { return false; }) &&
                !disarmed.stop_requested()) {
                source_.request_stop();
            }
        }) {}

    std::stop_token token() const { return source_.get_token(); }
    bool fired() const { return source_.stop_requested(); }

private:
    std::stop_source source_;
    std::jthread timer_; // last: stopped and joined before the source goes
};

} // namespace vexel::test
