#pragma once

#include <chrono>

namespace vexel {

// The wall-clock time view models stamp and compare (an error's time, the last
// auto-save failure); injected so that tests set the time instead of waiting.
class Clock {
public:
    virtual ~Clock() = default;

    virtual std::chrono::system_clock::time_point now() const = 0;
};

class SystemClock final : public Clock {
public:
    std::chrono::system_clock::time_point now() const override {
        return std::chrono::system_clock::now();
    }
};

} // namespace vexel
