#include "presentation/viewmodels/runtime/TaskHandle.h"

#include "foundation/CancellationError.h"
#include "presentation/viewmodels/runtime/PendingWait.h"
#include "presentation/viewmodels/runtime/YieldToEventLoop.h"

#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace vexel {

struct TaskHandle::State {
    std::stop_source stop;
    bool finished = false;
    std::vector<std::shared_ptr<PendingWait>> finishWaiters;
};

TaskHandle TaskHandle::start(Body body, std::shared_ptr<Logger> logger) {
    auto state = std::make_shared<State>();
    // The returned coroutine object is dropped: the coroutine runs on by itself
    // and frees itself at its end.
    run(state, std::move(body), std::move(logger));
    return TaskHandle(std::move(state));
}

void TaskHandle::cancel() const {
    state_->stop.request_stop();
}

bool TaskHandle::isCancelled() const {
    return state_->stop.stop_requested();
}

bool TaskHandle::isFinished() const {
    return state_->finished;
}

QCoro::Task<void> TaskHandle::finished() const {
    return waitUntilFinished(state_);
}

QCoro::Task<void> TaskHandle::waitUntilFinished(std::shared_ptr<State> state) {
    if (state->finished) {
        co_return;
    }
    auto wait = std::make_shared<PendingWait>();
    state->finishWaiters.push_back(wait);
    co_await PendingWait::wait(wait);
}

QCoro::Task<void> TaskHandle::run(std::shared_ptr<State> state, Body body,
                                  std::shared_ptr<Logger> logger) {
    co_await yieldToEventLoop();
    try {
        co_await body(state->stop.get_token());
    } catch (const CancellationError&) {
    } catch (const std::exception& error) {
        logger->error(std::string("[App] A task failed: ") + error.what());
    } catch (...) {
        logger->error("[App] A task failed");
    }
    state->finished = true;
    for (const auto& wait : std::exchange(state->finishWaiters, {})) {
        wait->wake();
    }
}

} // namespace vexel
