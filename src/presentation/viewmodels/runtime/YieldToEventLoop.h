#pragma once

#include <coroutine>

namespace vexel {

// Suspends the calling coroutine and resumes it from the GUI thread's event
// loop, after the events already queued: how a started task lets its starter
// finish first, as a task on the main actor starts only after the current work.
struct YieldToEventLoop {
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> waiter) const;
    void await_resume() const noexcept {}
};

inline YieldToEventLoop yieldToEventLoop() {
    return {};
}

} // namespace vexel
