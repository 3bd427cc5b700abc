#include "presentation/viewmodels/runtime/TurnQueue.h"

#include "presentation/viewmodels/runtime/PendingWait.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <utility>

namespace vexel {

struct TurnQueue::Turn::State {
    bool taken = false;
    std::deque<std::shared_ptr<PendingWait>> waiting;
};

TurnQueue::TurnQueue()
    : state_(std::make_shared<Turn::State>()) {}

TurnQueue::Turn& TurnQueue::Turn::operator=(Turn&& other) noexcept {
    if (this != &other) {
        release();
        state_ = std::move(other.state_);
    }
    return *this;
}

void TurnQueue::Turn::release() {
    const std::shared_ptr<State> state = std::exchange(state_, nullptr);
    if (!state) {
        return;
    }
    if (state->waiting.empty()) {
        state->taken = false;
        return;
    }
    // The turn passes straight to the next in line (it stays taken), which
    // starts from the event loop rather than inside this release.
    std::shared_ptr<PendingWait> next = std::move(state->waiting.front());
    state->waiting.pop_front();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [next] { next->wake(); }, Qt::QueuedConnection);
}

bool TurnQueue::isFree() const {
    return !state_->taken;
}

QCoro::Task<TurnQueue::Turn> TurnQueue::waitForTurn() {
    return wait(state_);
}

QCoro::Task<TurnQueue::Turn> TurnQueue::wait(std::shared_ptr<Turn::State> state) {
    if (!state->taken) {
        state->taken = true;
        co_return Turn(std::move(state));
    }
    auto wait = std::make_shared<PendingWait>();
    state->waiting.push_back(wait);
    co_await PendingWait::wait(wait);
    co_return Turn(std::move(state));
}

} // namespace vexel
