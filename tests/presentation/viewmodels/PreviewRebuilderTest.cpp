#include "presentation/viewmodels/PreviewRebuilder.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/RecordingPreview.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

using namespace vexel;
using namespace std::chrono_literals;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

// The timeline over the real edit engine, the real preview view model (whose
// builds are recorded) and the rebuilder between them, on injected time.
struct PreviewRebuilderTest : ::testing::Test {
    const Clip clip = makeClip(0, 4);
    test::ConversationHarness harness{
        Project({makeTrack(TrackType::video, "Video 1", {clip})}, 3600)};
    test::RecordingPreview builds;
    PreviewViewModel& preview = builds.preview;
    std::unique_ptr<PreviewRebuilder> rebuilder = std::make_unique<PreviewRebuilder>(
        harness.timeline, preview, harness.logger, harness.time->sleepAction());
    QSignalSpy loads{&preview, &PreviewViewModel::loadingTaskChanged};

    // Moves the clip through the engine; the project it makes.
    Project moveTo(double start) {
        test::awaitTask(harness.timeline.moveClip(clip.id, start));
        test::settle();
        return harness.timeline.project();
    }

    void finishLoad() {
        ASSERT_TRUE(preview.loadingTask());
        test::awaitTask(preview.loadingTask()->finished());
    }
};

} // namespace

TEST_F(PreviewRebuilderTest, ABurstOfEditsLoadsOnlyTheLastProjectAPauseAfterIt) {
    moveTo(1);
    harness.time->advance(100ms);
    moveTo(2);
    harness.time->advance(100ms);
    const Project third = moveTo(3);
    harness.time->advance(190ms);
    EXPECT_EQ(loads.count(), 0);
    EXPECT_TRUE(rebuilder->pendingRebuild());

    harness.time->advance(20ms);
    EXPECT_EQ(loads.count(), 1);
    EXPECT_FALSE(rebuilder->pendingRebuild());
    finishLoad();
    ASSERT_EQ(builds.builtProjects().size(), 1u);
    EXPECT_EQ(builds.builtProjects().front(), third);
    EXPECT_EQ(harness.time->requestedDelays(), (std::vector<double>{0.2, 0.2, 0.2}));

    // Undo is a change like any other.
    harness.timeline.undo();
    test::settle();
    harness.time->advance(1s);
    finishLoad();
    ASSERT_EQ(builds.builtProjects().size(), 2u);
    EXPECT_EQ(builds.builtProjects().back().tracks[0].clips[0].timeRange.startTime, 2);
}

TEST_F(PreviewRebuilderTest, AChangeThePreviewDrewAlreadyIsSkippedOnce) {
    preview.setSuppressReload(true);
    moveTo(1);
    EXPECT_FALSE(preview.suppressReload());
    EXPECT_FALSE(rebuilder->pendingRebuild());
    harness.time->advance(1s);
    EXPECT_EQ(loads.count(), 0);

    // The next change loads again.
    const Project next = moveTo(2);
    harness.time->advance(200ms);
    EXPECT_EQ(loads.count(), 1);
    finishLoad();
    EXPECT_EQ(builds.builtProjects(), std::vector<Project>{next});
}

TEST_F(PreviewRebuilderTest, ClosingTheWindowWithinThePauseLoadsNothing) {
    moveTo(1);
    harness.time->advance(100ms);
    rebuilder->cancel();
    test::settle();
    EXPECT_EQ(harness.time->pendingSleeps(), 0u);
    harness.time->advance(1s);
    EXPECT_EQ(loads.count(), 0);

    // Nor does a rebuilder that is gone.
    moveTo(2);
    rebuilder.reset();
    test::settle();
    harness.time->advance(1s);
    EXPECT_EQ(loads.count(), 0);
    EXPECT_TRUE(builds.builtProjects().empty());
    EXPECT_TRUE(harness.logger->entries().empty());
}
