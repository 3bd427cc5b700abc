#pragma once

#include "foundation/Logger.h"
#include "presentation/viewmodels/runtime/TaskHandle.h"

#include <QCoro/QCoroTask>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

namespace vexel {

// The one task a view model keeps for one purpose (a dismissal, a submit, an
// auto-save, a load). Starting a task cancels the one before it and raises the
// generation; a task compares the generation it was started with against the
// current one before it acts, so a superseded task whose result arrives late
// (its work did not stop in time) changes nothing. GUI thread only.
class TaskSlot {
public:
    using Body = std::function<QCoro::Task<void>(std::uint64_t generation, std::stop_token stop)>;

    // `onTaskChanged` runs whenever the held task is replaced or forgotten, for
    // view models that show whether work is under way.
    explicit TaskSlot(std::shared_ptr<Logger> logger, std::function<void()> onTaskChanged = {});
    // Cancels the held task: work must not outlive its view model's wishes.
    ~TaskSlot();

    TaskSlot(const TaskSlot&) = delete;
    TaskSlot& operator=(const TaskSlot&) = delete;

    // Cancels the held task, raises the generation and starts `body` with it.
    TaskHandle start(Body body);

    // Raises the generation, cancels the held task and forgets it.
    void cancel();

    // Forgets the held task when `generation` is still the current one: how a
    // task that ends clears itself without ever clearing a successor.
    void clear(std::uint64_t generation);

    std::uint64_t generation() const { return generation_; }
    bool isCurrent(std::uint64_t generation) const { return generation == generation_; }

    // The task started last, until cancel() or clear() forgets it (a finished
    // task stays until then).
    const std::optional<TaskHandle>& task() const { return task_; }

private:
    void setTask(std::optional<TaskHandle> task);

    std::shared_ptr<Logger> logger_;
    std::function<void()> onTaskChanged_;
    std::optional<TaskHandle> task_;
    std::uint64_t generation_ = 0;
};

} // namespace vexel
