#include "presentation/viewmodels/runtime/PendingWait.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <utility>

namespace vexel {

void PendingWait::Awaiter::await_suspend(std::coroutine_handle<> waiter) {
    wait_->waiter_ = waiter;
    // The callback may run on the thread that requests the stop, and even inside
    // that request: the waiter is resumed from the event loop instead, never
    // re-entrantly in its canceller's call.
    onStop_ = std::make_unique<std::stop_callback<std::function<void()>>>(stop_, [wait = wait_] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [wait] { wait->end(true); }, Qt::QueuedConnection);
    });
}

void PendingWait::Awaiter::await_resume() const {
    if (wait_->cancelled_ || stop_.stop_requested()) {
        throw CancellationError();
    }
}

void PendingWait::end(bool cancelled) {
    if (ended_) {
        return;
    }
    ended_ = true;
    cancelled_ = cancelled;
    // Resuming may end the waiter and release the last other owner of this
    // wait; the caller of end() holds one, and nothing is touched afterwards.
    if (auto waiter = std::exchange(waiter_, {})) {
        waiter.resume();
    }
}

} // namespace vexel
