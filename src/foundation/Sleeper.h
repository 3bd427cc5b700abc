#pragma once

#include <chrono>
#include <stop_token>

namespace vexel {

// Waits for a while on behalf of its caller; injected so that tests never wait
// in real time.
class Sleeper {
public:
    virtual ~Sleeper() = default;

    // Returns after `delay` (at once when it is not positive). Throws
    // CancellationError when `stop` is requested before or during the wait.
    virtual void sleepFor(std::chrono::duration<double> delay, std::stop_token stop) = 0;
};

} // namespace vexel
