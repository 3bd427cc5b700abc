#include "platform/playback/QtAudioSink.h"
#include "platform/playback/SilentAudioSink.h"

#include "ManualClock.h"

#include <QMediaDevices>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <vector>

using namespace vexel::playback;
using vexel::testing::ManualClock;
using namespace std::chrono_literals;

namespace {

std::vector<float> seconds(double length) {
    return std::vector<float>(static_cast<std::size_t>(length * AudioSink::sampleRate) *
                              AudioSink::channelCount);
}

// Writes on a thread of its own, for writes that wait.
std::future<bool> writeLater(AudioSink& sink, std::uint64_t run, std::vector<float> samples,
                             std::stop_token stop = {}) {
    return std::async(std::launch::async, [&sink, run, samples = std::move(samples), stop] {
        return sink.write(run, samples, stop);
    });
}

// A guard against a hang, not a measure: the write should end long before.
bool ends(std::future<bool>& write) {
    return write.wait_for(20s) == std::future_status::ready;
}

} // namespace

TEST(SilentAudioSink, KeepsTimeByTheClockWhilePlayingAndHoldsWritersToItsBuffer) {
    auto clock = std::make_shared<ManualClock>();
    SilentAudioSink sink(clock);
    sink.beginRun(1);
    EXPECT_TRUE(sink.write(1, seconds(0.2), {}));
    clock->advanceBy(1s);
    EXPECT_EQ(sink.position(), 0);

    // The buffer is full: a write waits until playing frees room.
    auto write = writeLater(sink, 1, seconds(0.1));
    sink.setPlaying(true);
    clock->advanceBy(100ms);
    ASSERT_TRUE(ends(write));
    EXPECT_TRUE(write.get());
    EXPECT_EQ(sink.position(), 4410);

    sink.setPlaying(false);
    clock->advanceBy(1s);
    EXPECT_EQ(sink.position(), 4410);

    // A waiting write gives up when another run begins, and a write of an
    // old run takes nothing.
    write = writeLater(sink, 1, seconds(1));
    sink.beginRun(2);
    ASSERT_TRUE(ends(write));
    EXPECT_FALSE(write.get());
    EXPECT_EQ(sink.position(), 0);
    EXPECT_FALSE(sink.write(1, seconds(0.01), {}));

    // Nor does it wait once stopped.
    EXPECT_TRUE(sink.write(2, seconds(0.2), {}));
    std::stop_source stop;
    write = writeLater(sink, 2, seconds(0.1), stop.get_token());
    stop.request_stop();
    ASSERT_TRUE(ends(write));
    EXPECT_FALSE(write.get());

    // What a late writer gives for time already played is dropped.
    sink.setPlaying(true);
    clock->advanceBy(2s);
    EXPECT_TRUE(sink.write(2, seconds(0.2), {}));
    EXPECT_EQ(sink.position(), 2 * 44100);
}

TEST(QtAudioSink, WithoutADeviceKeepsTimeByTheClock) {
    if (!QMediaDevices::defaultAudioOutput().isNull()) {
        GTEST_SKIP() << "this machine has a sound device";
    }
    auto clock = std::make_shared<ManualClock>();
    QtAudioSink sink(QAudioDevice(), clock);
    sink.beginRun(1);
    sink.setPlaying(true);
    // The buffer is full: the rest goes in as the clock plays what it holds.
    // (Written first, so that a writer starting after the clock has moved
    // cannot find the moments it fills already passed.)
    EXPECT_TRUE(sink.write(1, seconds(0.2), {}));
    auto write = writeLater(sink, 1, seconds(0.2));
    clock->advanceBy(500ms);
    ASSERT_TRUE(ends(write));
    EXPECT_TRUE(write.get());
    EXPECT_TRUE(sink.isSilent());
    EXPECT_EQ(sink.position(), 22050);
    sink.setPlaying(false);
    clock->advanceBy(1s);
    EXPECT_EQ(sink.position(), 22050);
}
