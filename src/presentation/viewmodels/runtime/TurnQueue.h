#pragma once

#include <QCoro/QCoroTask>

#include <deque>
#include <memory>

namespace vexel {

class PendingWait;

// Lets coroutines on the GUI thread take turns, first come first served: a
// coroutine holds its turn from waitForTurn() until it drops the Turn, and the
// next one in line starts from the event loop after that. For work whose steps
// must not interleave across its suspensions, such as an edit whose result is
// written back after the engine has answered.
class TurnQueue {
public:
    class Turn {
    public:
        Turn() = default;
        Turn(Turn&& other) noexcept = default;
        Turn& operator=(Turn&& other) noexcept;
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;
        ~Turn() { release(); }

    private:
        friend class TurnQueue;
        struct State;
        explicit Turn(std::shared_ptr<State> state)
            : state_(std::move(state)) {}
        void release();

        std::shared_ptr<State> state_;
    };

    TurnQueue();

    // Completes once every earlier turn has been dropped. The queue may go away
    // while turns are out; the waiters then still get their turns in order.
    QCoro::Task<Turn> waitForTurn();

    // No turn is held or being handed on: a turn asked for now is given at once.
    bool isFree() const;

private:
    static QCoro::Task<Turn> wait(std::shared_ptr<Turn::State> state);

    std::shared_ptr<Turn::State> state_;
};

} // namespace vexel
