#include "data/audio/WaveformService.h"
#include "data/audio/WaveformExtractor.h"
#include "foundation/CancellationError.h"
#include "platform/media/MediaError.h"
#include "support/Watchdog.h"
#include "support/media/TemporaryFolder.h"
#include "support/media/WavWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using vexel::CancellationError;
using vexel::WaveformExtracting;
using vexel::WaveformService;
using vexel::test::Watchdog;

namespace {

// An extractor whose extractions run until the test lets them end. The result
// tells which request started the extraction: one value per bucket asked for.
class GatedExtractor final : public WaveformExtracting {
public:
    explicit GatedExtractor(std::stop_token watchdog)
        : watchdog_(std::move(watchdog))
        , onTimeout_(watchdog_, [this] { wakeAll(); }) {}

    std::vector<float> extract(const std::filesystem::path& url, int bucketCount,
                               std::stop_token stop) const override {
        std::stop_callback onStop(stop, [this] { wakeAll(); });
        std::unique_lock lock(mutex_);
        const std::string name = url.string();
        started_.push_back(name);
        maxRunning_ = std::max(maxRunning_, ++running_);
        changed_.notify_all();
        changed_.wait(lock, [&] {
            return permits_[name] > 0 || stop.stop_requested() || watchdog_.stop_requested();
        });
        --running_;
        if (permits_[name] == 0) {
            throw CancellationError();
        }
        --permits_[name];
        if (failing_.contains(name)) {
            throw std::runtime_error("cannot read " + name);
        }
        return std::vector<float>(static_cast<std::size_t>(bucketCount), 0.5f);
    }

    // Lets one extraction of the file end.
    void finish(const std::string& name) {
        std::lock_guard lock(mutex_);
        ++permits_[name];
        changed_.notify_all();
    }
    void failFor(const std::string& name) {
        std::lock_guard lock(mutex_);
        failing_.insert(name);
    }

    // The files whose extraction started, in order, once there are `count`.
    std::vector<std::string> awaitStarts(std::size_t count) const {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return started_.size() >= count || watchdog_.stop_requested(); });
        return started_;
    }
    std::vector<std::string> starts() const {
        std::lock_guard lock(mutex_);
        return started_;
    }
    int maxRunning() const {
        std::lock_guard lock(mutex_);
        return maxRunning_;
    }

private:
    void wakeAll() const {
        std::lock_guard lock(mutex_);
        changed_.notify_all();
    }

    std::stop_token watchdog_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    mutable std::vector<std::string> started_;
    mutable std::map<std::string, int> permits_;
    std::set<std::string> failing_;
    mutable int running_ = 0;
    mutable int maxRunning_ = 0;
    std::stop_callback<std::function<void()>> onTimeout_; // last: may wake the others at once
};

// A caller on a thread of its own.
std::future<std::vector<float>> request(WaveformService& service, const std::string& name,
                                        int bucketCount, std::stop_token stop) {
    return std::async(std::launch::async, [&service, name, bucketCount, stop] {
        return service.extract(name, bucketCount, stop);
    });
}

// Until `count` callers wait inside the service.
void awaitWaitingCallers(const WaveformService& service, std::size_t count,
                         const Watchdog& watchdog) {
    while (service.waitingCallerCount() != count && !watchdog.fired()) {
        std::this_thread::yield();
    }
    ASSERT_FALSE(watchdog.fired()) << "waiting for " << count << " callers";
}

std::vector<float> filled(std::size_t count) {
    return std::vector<float>(count, 0.5f);
}

} // namespace

TEST(WaveformService, RunsThreeAtOnceAndServesWaitersInArrivalOrder) {
    Watchdog watchdog(10s);
    auto extractor = std::make_shared<GatedExtractor>(watchdog.token());
    WaveformService service(extractor);
    std::map<std::string, std::future<std::vector<float>>> results;
    for (const char* name : {"a", "b", "c"}) {
        results[name] = request(service, name, 10, watchdog.token());
    }
    auto firstThree = extractor->awaitStarts(3);
    std::sort(firstThree.begin(), firstThree.end());
    EXPECT_EQ(firstThree, (std::vector<std::string>{"a", "b", "c"}));

    // Arriving one after the other while every worker is busy.
    for (const char* name : {"d", "e", "f"}) {
        results[name] = request(service, name, 10, watchdog.token());
        awaitWaitingCallers(service, results.size(), watchdog);
    }
    EXPECT_EQ(extractor->starts().size(), 3u);

    // The first extraction to end hands its worker to the oldest waiter.
    extractor->finish("b");
    EXPECT_EQ(extractor->awaitStarts(4).back(), "d");
    extractor->finish("a");
    EXPECT_EQ(extractor->awaitStarts(5).back(), "e");
    extractor->finish("d");
    EXPECT_EQ(extractor->awaitStarts(6).back(), "f");
    for (const char* name : {"c", "e", "f"}) {
        extractor->finish(name);
    }
    for (auto& [name, result] : results) {
        EXPECT_EQ(result.get(), filled(10)) << name;
    }
    EXPECT_EQ(extractor->maxRunning(), 3);
    EXPECT_EQ(service.waitingCallerCount(), 0u);
}

TEST(WaveformService, CallersOfOneFileShareOneExtractionAndItsOutcome) {
    Watchdog watchdog(10s);
    auto extractor = std::make_shared<GatedExtractor>(watchdog.token());
    WaveformService service(extractor);

    // The later bucket count is not used: both get the first request's result.
    auto first = request(service, "song.wav", 200, watchdog.token());
    extractor->awaitStarts(1);
    auto second = request(service, "song.wav", 50, watchdog.token());
    awaitWaitingCallers(service, 2, watchdog);
    extractor->finish("song.wav");
    EXPECT_EQ(first.get(), filled(200));
    EXPECT_EQ(second.get(), filled(200));
    EXPECT_EQ(extractor->starts().size(), 1u);

    // A failure reaches every sharer; the next request extracts afresh.
    extractor->failFor("broken.wav");
    auto failing = request(service, "broken.wav", 200, watchdog.token());
    extractor->awaitStarts(2);
    auto sharing = request(service, "broken.wav", 200, watchdog.token());
    awaitWaitingCallers(service, 2, watchdog);
    extractor->finish("broken.wav");
    for (auto* result : {&failing, &sharing}) {
        try {
            result->get();
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "cannot read broken.wav");
        }
    }
    auto again = request(service, "broken.wav", 200, watchdog.token());
    extractor->awaitStarts(3);
    extractor->finish("broken.wav");
    EXPECT_THROW(again.get(), std::runtime_error);
    EXPECT_EQ(extractor->starts(),
              (std::vector<std::string>{"song.wav", "broken.wav", "broken.wav"}));
}

TEST(WaveformService, CancelledCallersStopWaitingWithoutStoppingOthers) {
    Watchdog watchdog(10s);
    auto extractor = std::make_shared<GatedExtractor>(watchdog.token());
    WaveformService service(extractor, 1);
    std::stop_source leaving;
    std::stop_callback onTimeout(watchdog.token(), [&] { leaving.request_stop(); });

    auto staying = request(service, "running.wav", 10, watchdog.token());
    extractor->awaitStarts(1);
    auto sharerLeaving = request(service, "running.wav", 10, leaving.get_token());
    auto waiterLeaving = request(service, "queued.wav", 10, leaving.get_token());
    awaitWaitingCallers(service, 3, watchdog);
    leaving.request_stop();
    EXPECT_THROW(sharerLeaving.get(), CancellationError);
    EXPECT_THROW(waiterLeaving.get(), CancellationError);

    // The running extraction goes on for the caller that stayed; the queued
    // one that nobody waits for is never started.
    auto later = request(service, "later.wav", 10, watchdog.token());
    awaitWaitingCallers(service, 2, watchdog);
    extractor->finish("running.wav");
    EXPECT_EQ(staying.get(), filled(10));
    extractor->awaitStarts(2);
    extractor->finish("later.wav");
    EXPECT_EQ(later.get(), filled(10));
    EXPECT_EQ(extractor->starts(), (std::vector<std::string>{"running.wav", "later.wav"}));
}

TEST(WaveformService, ExtractsRealFilesByDefault) {
    vexel::testing::TemporaryFolder folder;
    auto path = folder / "voice.wav";
    std::vector<std::int16_t> samples(44100, 0);
    samples[22050] = -16384;
    vexel::testing::writeWav(path, 44100, 1, samples);

    WaveformService service;
    std::vector<float> peaks = service.extract(path, 100);
    EXPECT_EQ(peaks, vexel::WaveformExtractor::extract(path, 100));
    EXPECT_EQ(peaks.at(50), 16384.0f / 32767.0f);
    EXPECT_THROW(service.extract(folder / "missing.wav", 100), vexel::media::MediaError);
}
