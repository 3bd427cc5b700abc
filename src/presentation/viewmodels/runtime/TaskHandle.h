#pragma once

#include "foundation/Logger.h"

#include <QCoro/QCoroTask>

#include <functional>
#include <memory>
#include <stop_token>

namespace vexel {

// A running piece of view-model work that nobody waits for: a coroutine on the
// GUI thread, started from the event loop after its starter has returned, and
// cancelled cooperatively through the stop token it is given. Copies refer to
// the same task; two handles are equal when they are the same task.
//
// The body is expected to handle its own failures. CancellationError ends it
// quietly; any other error that escapes is logged, since no one else would see it.
class TaskHandle {
public:
    using Body = std::function<QCoro::Task<void>(std::stop_token)>;

    // The body (with its captures) lives until its coroutine has finished.
    static TaskHandle start(Body body, std::shared_ptr<Logger> logger);

    // Asks the task to stop; it sees the request at its next check or wait.
    void cancel() const;
    bool isCancelled() const;
    bool isFinished() const;

    // Completes once the body has ended, however it ended. Never throws.
    QCoro::Task<void> finished() const;

    friend bool operator==(const TaskHandle& a, const TaskHandle& b) {
        return a.state_ == b.state_;
    }

private:
    struct State;
    explicit TaskHandle(std::shared_ptr<State> state)
        : state_(std::move(state)) {}

    static QCoro::Task<void> run(std::shared_ptr<State> state, Body body,
                                 std::shared_ptr<Logger> logger);
    static QCoro::Task<void> waitUntilFinished(std::shared_ptr<State> state);

    std::shared_ptr<State> state_;
};

} // namespace vexel
