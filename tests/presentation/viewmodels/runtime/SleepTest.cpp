#include "presentation/viewmodels/runtime/Sleep.h"

#include "foundation/CancellationError.h"
#include "presentation/support/EventLoop.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::test;
using namespace std::chrono_literals;

TEST(SleepOnEventLoopTest, AStopEndsTheWaitAtOnceWithACancellation) {
    std::stop_source stop;
    QCoro::Task<void> sleeping = sleepOnEventLoop(1h, stop.get_token());
    settle();
    stop.request_stop();
    EXPECT_THROW(awaitTask(std::move(sleeping)), CancellationError);

    EXPECT_THROW(awaitTask(sleepOnEventLoop(1h, stop.get_token())), CancellationError);
    EXPECT_NO_THROW(awaitTask(sleepOnEventLoop(0s, {})));
    EXPECT_NO_THROW(awaitTask(sleepOnEventLoop(-1s, {})));
}
