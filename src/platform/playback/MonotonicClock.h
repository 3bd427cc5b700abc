#pragma once

#include <chrono>
#include <stop_token>

namespace vexel::playback {

// The time that playback runs on where no sound device keeps it, and that the
// player's threads wait on; injected so that tests move it by hand.
class MonotonicClock {
public:
    using Duration = std::chrono::nanoseconds;

    virtual ~MonotonicClock() = default;

    // Time since an arbitrary start; never goes back.
    virtual Duration now() const = 0;
    // Returns once now() >= deadline or `stop` is requested. Thread-safe.
    virtual void waitUntil(Duration deadline, std::stop_token stop) = 0;
};

// The system's steady clock.
class SteadyMonotonicClock final : public MonotonicClock {
public:
    Duration now() const override;
    void waitUntil(Duration deadline, std::stop_token stop) override;
};

} // namespace vexel::playback
