#include "presentation/viewmodels/runtime/TaskSlot.h"

#include <utility>

namespace vexel {

TaskSlot::TaskSlot(std::shared_ptr<Logger> logger, std::function<void()> onTaskChanged)
    : logger_(std::move(logger))
    , onTaskChanged_(std::move(onTaskChanged)) {}

TaskSlot::~TaskSlot() {
    if (task_) {
        task_->cancel();
    }
}

TaskHandle TaskSlot::start(Body body) {
    if (task_) {
        task_->cancel();
    }
    const std::uint64_t generation = ++generation_;
    TaskHandle task =
        TaskHandle::start([body = std::move(body), generation](
                              std::stop_token stop) { return body(generation, std::move(stop)); },
                          logger_);
    setTask(task);
    return task;
}

void TaskSlot::cancel() {
    ++generation_;
    if (task_) {
        task_->cancel();
    }
    setTask(std::nullopt);
}

void TaskSlot::clear(std::uint64_t generation) {
    if (isCurrent(generation) && task_) {
        setTask(std::nullopt);
    }
}

void TaskSlot::setTask(std::optional<TaskHandle> task) {
    if (task_ == task) {
        return;
    }
    task_ = std::move(task);
    if (onTaskChanged_) {
        onTaskChanged_();
    }
}

} // namespace vexel
