// The free heap handed back once the editor rests after heavy work.

#include "app/HeapTrimmer.h"

#include "app/AppHarness.h"
#include "support/RunEventsUntil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>

using namespace vexel;
using namespace vexel::test;
using std::chrono::duration;

TEST(HeapTrimmerTest, ReleasesOnceTheEditorHasRestedAfterItsLastWork) {
    ManualTime time;
    auto releases = std::make_shared<std::atomic<int>>(0);
    auto trimmer = std::make_unique<HeapTrimmer>(
        [releases] { ++*releases; }, std::make_shared<NullLogger>(), time.sleepAction());
    // Work reported, and the wait it starts (from the event loop) begun.
    const auto work = [&] {
        trimmer->workDone();
        settle();
    };
    const auto rest = [&](double seconds) {
        time.advance(duration<double>(seconds));
        settle();
    };
    const auto released = [&] {
        if (trimmer->pendingRelease()) {
            awaitTask(trimmer->pendingRelease()->finished());
        }
        return releases->load();
    };

    // Nothing to hand back before any work.
    rest(10);
    EXPECT_FALSE(trimmer->pendingRelease());
    EXPECT_EQ(*releases, 0);

    // After work, once the rest time has passed, and not before.
    work();
    rest(1.75);
    EXPECT_EQ(*releases, 0);
    rest(0.25);
    EXPECT_EQ(released(), 1);

    // Work every half second (playback reports every frame) holds it back:
    // one release follows the last.
    for (int step = 0; step < 20; ++step) {
        work();
        rest(0.5);
    }
    EXPECT_EQ(*releases, 1);
    rest(1.5);
    EXPECT_EQ(*releases, 1);
    rest(2.5);
    EXPECT_EQ(released(), 2);

    // A trimmer gone while it waits releases nothing.
    trimmer->workDone();
    trimmer.reset();
    rest(10);
    EXPECT_EQ(*releases, 2);
}

TEST(HeapTrimmerTest, TheEditorHandsItsFreeHeapBackOnceItRestsAfterAnEdit) {
    AppHarness harness;
    AppController& app = harness.launch();
    ASSERT_NE(app.heapTrimmer(), nullptr);
    // Whatever the start-up's own work brought.
    for (int step = 0; step < 8; ++step) {
        harness.time->advance(duration<double>(0.5));
        settle();
    }
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] {
        return !app.heapTrimmer()->pendingRelease() ||
               app.heapTrimmer()->pendingRelease()->isFinished();
    }));
    const int before = *harness.heapReleases;

    harness.edit(addTitle(0));
    // The preview rebuilds after the edit and shows its frame; then it rests.
    for (int step = 0; step < 40 && *harness.heapReleases == before; ++step) {
        harness.time->advance(duration<double>(0.5));
        settle();
        vexel::testing::runEventsUntil([&] { return *harness.heapReleases > before; },
                                       std::chrono::milliseconds(100));
    }
    EXPECT_GT(*harness.heapReleases, before);
}
