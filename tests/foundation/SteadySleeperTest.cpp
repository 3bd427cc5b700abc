#include "foundation/SteadySleeper.h"

#include "foundation/CancellationError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

using namespace vexel;
using namespace std::chrono_literals;

TEST(SteadySleeper, WaitsTheDelayAndReturnsAtOnceForNoDelay) {
    SteadySleeper sleeper;
    auto start = std::chrono::steady_clock::now();
    sleeper.sleepFor(30ms, {});
    EXPECT_GE(std::chrono::steady_clock::now() - start, 30ms);

    start = std::chrono::steady_clock::now();
    sleeper.sleepFor(std::chrono::duration<double>(0), {});
    sleeper.sleepFor(std::chrono::duration<double>(-5), {});
    sleeper.sleepFor(std::chrono::duration<double>(std::nan("")), {});
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

TEST(SteadySleeper, StopRequestEndsTheWaitWithCancellation) {
    SteadySleeper sleeper;
    std::stop_source early;
    early.request_stop();
    EXPECT_THROW(sleeper.sleepFor(std::chrono::duration<double>(0), early.get_token()),
                 CancellationError);

    std::stop_source source;
    std::jthread canceller([&] {
        std::this_thread::sleep_for(20ms);
        source.request_stop();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(
        sleeper.sleepFor(std::chrono::duration<double>(std::numeric_limits<double>::infinity()),
                         source.get_token()),
        CancellationError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}
