#include "foundation/AsyncChannel.h"

#include "support/Watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vexel;
using namespace std::chrono_literals;

namespace {

// Waits (bounded) until the stop request reaches the producer.
void waitForStop(std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wakeUp;
    std::unique_lock lock(mutex);
    wakeUp.wait_for(lock, stop, 5s, [] { return false; });
}

} // namespace

TEST(AsyncChannel, DeliversValuesInOrderAndThenTheEndOrTheError) {
    test::Watchdog watchdog(5s);
    AsyncStream<int> finished([](AsyncChannelWriter<int>& out, std::stop_token) {
        for (int i = 1; i <= 3; ++i) {
            out.send(i);
        }
    });
    EXPECT_EQ(finished.next(watchdog.token()), 1);
    EXPECT_EQ(finished.next(watchdog.token()), 2);
    EXPECT_EQ(finished.next(watchdog.token()), 3);
    EXPECT_EQ(finished.next(watchdog.token()), std::nullopt);
    EXPECT_EQ(finished.next(watchdog.token()), std::nullopt);

    // Values sent before a failure stay delivered; the error comes after them.
    AsyncStream<std::string> failing([](AsyncChannelWriter<std::string>& out, std::stop_token) {
        out.send("first");
        throw std::runtime_error("broken");
    });
    EXPECT_EQ(failing.next(watchdog.token()), "first");
    EXPECT_THROW(failing.next(watchdog.token()), std::runtime_error);

    auto failed = AsyncStream<int>::failed(std::make_exception_ptr(std::logic_error("at once")));
    EXPECT_THROW(failed.next(watchdog.token()), std::logic_error);
    EXPECT_FALSE(watchdog.fired());
}

TEST(AsyncChannel, TakesWhatIsWaitingUpToALimitAndTheErrorAfterIt) {
    test::Watchdog watchdog(5s);
    AsyncStream<int> stream([](AsyncChannelWriter<int>& out, std::stop_token) {
        for (int i = 1; i <= 5; ++i) {
            out.send(i);
        }
        throw std::runtime_error("broken");
    });
    // Once the producer is done, everything it sent is waiting.
    std::vector<int> taken;
    while (taken.size() < 5) {
        const std::vector<int> batch = stream.nextAvailable(2, watchdog.token());
        ASSERT_FALSE(batch.empty());
        EXPECT_LE(batch.size(), 2u);
        taken.insert(taken.end(), batch.begin(), batch.end());
    }
    EXPECT_EQ(taken, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_THROW(stream.nextAvailable(2, watchdog.token()), std::runtime_error);

    AsyncStream<int> ended([](AsyncChannelWriter<int>&, std::stop_token) {});
    EXPECT_TRUE(ended.nextAvailable(8, watchdog.token()).empty());
    EXPECT_FALSE(watchdog.fired());
}

TEST(AsyncChannel, ConsumerWaitIsCancellableAndTheStreamStaysUsable) {
    std::atomic<bool> release = false;
    AsyncStream<int> stream([&](AsyncChannelWriter<int>& out, std::stop_token stop) {
        while (!release && !stop.stop_requested()) {
            std::this_thread::sleep_for(1ms);
        }
        out.send(7);
    });
    std::stop_source cancelWait;
    cancelWait.request_stop();
    EXPECT_THROW(stream.next(cancelWait.get_token()), CancellationError);

    release = true;
    test::Watchdog watchdog(5s);
    EXPECT_EQ(stream.next(watchdog.token()), 7);
}

TEST(AsyncChannel, LettingGoOfTheStreamStopsTheProducer) {
    std::atomic<bool> producerSawStop = false;
    {
        AsyncStream<int> stream([&](AsyncChannelWriter<int>& out, std::stop_token stop) {
            out.send(1);
            waitForStop(stop);
            producerSawStop = stop.stop_requested();
        });
        test::Watchdog watchdog(5s);
        EXPECT_EQ(stream.next(watchdog.token()), 1);
    } // destruction requests the stop and joins the producer
    EXPECT_TRUE(producerSawStop);

    // cancel() asks the producer to stop; its cancellation ends the stream.
    AsyncStream<int> cancelled([](AsyncChannelWriter<int>&, std::stop_token stop) {
        waitForStop(stop);
        throwIfCancelled(stop);
    });
    const auto start = std::chrono::steady_clock::now();
    cancelled.cancel();
    test::Watchdog watchdog(5s);
    EXPECT_THROW(cancelled.next(watchdog.token()), CancellationError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_FALSE(watchdog.fired());
}
