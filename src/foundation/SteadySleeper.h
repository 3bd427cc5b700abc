#pragma once

#include "foundation/Sleeper.h"

namespace vexel {

// Sleeps on the monotonic clock; a stop request ends the wait at once.
class SteadySleeper final : public Sleeper {
public:
    void sleepFor(std::chrono::duration<double> delay, std::stop_token stop) override;
};

} // namespace vexel
