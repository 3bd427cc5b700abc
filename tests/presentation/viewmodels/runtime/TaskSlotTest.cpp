#include "presentation/viewmodels/runtime/TaskSlot.h"

#include "presentation/support/EventLoop.h"
#include "presentation/support/ManualTime.h"
#include "presentation/viewmodels/runtime/BackgroundWork.h"
#include "support/RecordingLogger.h"

#include <QThreadPool>
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vexel;
using namespace vexel::test;
using namespace std::chrono_literals;

namespace {

struct TaskSlotTest : ::testing::Test {
    std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
    int taskChanges = 0;
    TaskSlot slot{logger, [this] { ++taskChanges; }};
};

} // namespace

TEST_F(TaskSlotTest, ASupersededTasksLateResultChangesNothing) {
    std::vector<std::string> shown;
    // Each load's work ignores cancellation, as a decoder deep in a file would,
    // and answers once its gate opens.
    auto load = [&](std::string name, std::shared_future<void> gate) {
        return slot.start(
            [&, name, gate](std::uint64_t generation, std::stop_token) -> QCoro::Task<void> {
                auto work = [name, gate] {
                    gate.wait();
                    return name;
                };
                std::string result = co_await runInBackground(QThreadPool::globalInstance(), work);
                if (slot.isCurrent(generation)) {
                    shown.push_back(result);
                }
            });
    };
    std::promise<void> firstGate;
    std::promise<void> secondGate;
    secondGate.set_value();
    const TaskHandle first = load("first", firstGate.get_future().share());
    const TaskHandle second = load("second", secondGate.get_future().share());
    EXPECT_TRUE(first.isCancelled());
    EXPECT_FALSE(second.isCancelled());

    awaitTask(second.finished());
    EXPECT_EQ(shown, std::vector<std::string>{"second"});
    EXPECT_FALSE(first.isFinished());
    firstGate.set_value();
    awaitTask(first.finished());
    EXPECT_EQ(shown, std::vector<std::string>{"second"});

    // Only the current generation clears the held task.
    slot.clear(1);
    EXPECT_EQ(slot.task(), second);
    slot.clear(2);
    EXPECT_FALSE(slot.task());
    EXPECT_EQ(taskChanges, 3);
    EXPECT_TRUE(logger->entries().empty());
}

TEST_F(TaskSlotTest, StartsAfterItsStarterAndStopsWhenCancelled) {
    ManualTime time;
    bool started = false;
    bool slept = false;
    const SleepAction sleep = time.sleepAction();
    slot.start([&](std::uint64_t, std::stop_token stop) -> QCoro::Task<void> {
        started = true;
        co_await sleep(1h, stop);
        slept = true;
    });
    EXPECT_FALSE(started);
    settle();
    EXPECT_TRUE(started);
    ASSERT_EQ(time.pendingSleeps(), 1u);

    const TaskHandle task = *slot.task();
    const std::uint64_t generation = slot.generation();
    slot.cancel();
    EXPECT_FALSE(slot.task());
    EXPECT_FALSE(slot.isCurrent(generation));
    EXPECT_EQ(taskChanges, 2);
    awaitTask(task.finished()); // ends without any time passing
    EXPECT_FALSE(slept);
    EXPECT_TRUE(logger->entries().empty()); // a cancellation is no failure
}

TEST_F(TaskSlotTest, AnErrorThatEscapesATaskIsLogged) {
    const TaskHandle task = slot.start([](std::uint64_t, std::stop_token) -> QCoro::Task<void> {
        throw std::runtime_error("boom");
        co_return;
    });
    awaitTask(task.finished());
    EXPECT_TRUE(task.isFinished());
    EXPECT_EQ(logger->messages(), std::vector<std::string>{"[App] A task failed: boom"});
}
