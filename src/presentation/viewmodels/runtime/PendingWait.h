#pragma once

#include "foundation/CancellationError.h"

#include <coroutine>
#include <functional>
#include <memory>
#include <stop_token>

namespace vexel {

// One coroutine's wait on the GUI thread for something that happens once. It
// ends either when woken or when its stop token is requested; in the second case
// the waiter resumes with CancellationError. Shared between the waiter and
// whoever wakes it, so a wake-up that comes after the end does nothing.
// Everything but the stop request happens on the GUI thread; a stop request may
// come from any thread and is handed to the GUI thread's event loop.
class PendingWait {
public:
    class Awaiter {
    public:
        Awaiter(std::shared_ptr<PendingWait> wait, std::stop_token stop)
            : wait_(std::move(wait))
            , stop_(std::move(stop)) {}

        bool await_ready() const noexcept { return wait_->ended_ || stop_.stop_requested(); }
        void await_suspend(std::coroutine_handle<> waiter);
        void await_resume() const;

    private:
        std::shared_ptr<PendingWait> wait_;
        std::stop_token stop_;
        // Behind a pointer so that the awaiter stays movable before it suspends.
        std::unique_ptr<std::stop_callback<std::function<void()>>> onStop_;
    };

    // Ends the wait normally and resumes the waiter at once; nothing when it has
    // already ended. Before anyone waits, it makes the coming wait return at once.
    void wake() { end(false); }

    bool hasEnded() const { return ended_; }

    // Suspends the calling coroutine until the wait ends. One waiter at a time.
    static Awaiter wait(std::shared_ptr<PendingWait> pending, std::stop_token stop = {}) {
        return Awaiter(std::move(pending), std::move(stop));
    }

private:
    void end(bool cancelled);

    std::coroutine_handle<> waiter_;
    bool ended_ = false;
    bool cancelled_ = false;
};

} // namespace vexel
