#include "presentation/viewmodels/runtime/BackgroundWork.h"

#include "domain/entities/EditError.h"
#include "foundation/AsyncChannel.h"
#include "foundation/CancellationError.h"
#include "presentation/support/EventLoop.h"

#include <QThread>
#include <QThreadPool>
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

using namespace vexel;
using namespace vexel::test;

namespace {

QThreadPool* pool() {
    return QThreadPool::globalInstance();
}

struct Threads {
    QThread* worker = nullptr;
    QThread* resumedOn = nullptr;
};

QCoro::Task<Threads> threadsOfOneJob() {
    Threads threads;
    auto work = [&threads] { threads.worker = QThread::currentThread(); };
    co_await runInBackground(pool(), work);
    threads.resumedOn = QThread::currentThread();
    co_return threads;
}

} // namespace

TEST(BackgroundWorkTest, WorksOffTheGuiThreadAndBringsBackResultsAndTheOriginalErrors) {
    const Threads threads = awaitTask(threadsOfOneJob());
    EXPECT_NE(threads.worker, nullptr);
    EXPECT_NE(threads.worker, QThread::currentThread());
    EXPECT_EQ(threads.resumedOn, QThread::currentThread());

    EXPECT_EQ(awaitTask(runInBackground(pool(), [] { return 42; })), 42);
    try {
        awaitTask(runInBackground(pool(), []() -> int { throw EditError::invalidSpeed(9); }));
        ADD_FAILURE() << "no error";
    } catch (const EditError& error) {
        EXPECT_EQ(error, EditError::invalidSpeed(9));
    }
    EXPECT_THROW(awaitTask(runInBackground(pool(), [] { throw CancellationError(); })),
                 CancellationError);
}

TEST(BackgroundWorkTest, ConsumesAProducersStreamWithoutBlockingTheGuiThread) {
    AsyncStream<int> stream([](AsyncChannelWriter<int>& out, std::stop_token) {
        for (int value = 1; value <= 3; ++value) {
            out.send(value);
        }
        throw std::runtime_error("connection lost");
    });
    std::vector<int> received;
    try {
        // Batches of at most two; an empty one would be the end, not an error.
        for (std::vector<int> batch = awaitTask(nextBatchFromStream(pool(), stream, 2, {}));
             !batch.empty(); batch = awaitTask(nextBatchFromStream(pool(), stream, 2, {}))) {
            EXPECT_LE(batch.size(), 2u);
            received.insert(received.end(), batch.begin(), batch.end());
        }
        ADD_FAILURE() << "the producer's error was not passed on";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "connection lost");
    }
    EXPECT_EQ(received, (std::vector<int>{1, 2, 3}));

    // A producer that has nothing to say: a stop request ends the wait.
    AsyncStream<int> silent([](AsyncChannelWriter<int>&, std::stop_token producerStop) {
        std::mutex mutex;
        std::condition_variable_any never;
        std::unique_lock lock(mutex);
        never.wait(lock, producerStop, [] { return false; });
    });
    std::stop_source stop;
    QCoro::Task<std::vector<int>> waiting =
        nextBatchFromStream(pool(), silent, 2, stop.get_token());
    stop.request_stop();
    EXPECT_THROW(awaitTask(std::move(waiting)), CancellationError);
}
