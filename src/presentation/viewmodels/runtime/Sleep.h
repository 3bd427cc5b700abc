#pragma once

#include <QCoro/QCoroTask>

#include <chrono>
#include <functional>
#include <stop_token>

namespace vexel {

// How a view model waits (an auto-dismissal, a debounce, a typing pause):
// completes after the delay, or throws CancellationError when `stop` is
// requested before or during the wait. Injected, so that tests decide when a
// wait is over instead of waiting in real time.
using SleepAction =
    std::function<QCoro::Task<void>(std::chrono::duration<double>, std::stop_token)>;

// The real wait: a precise timer on the GUI thread's event loop (a monotonic
// clock). A delay that is not positive completes at once.
QCoro::Task<void> sleepOnEventLoop(std::chrono::duration<double> delay, std::stop_token stop);

} // namespace vexel
