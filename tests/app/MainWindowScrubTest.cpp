// Scrubbing the preview from the timeline of the window the application
// builds, on a project folder opened at start-up, with the pointer's press,
// moves and release travelling through the window system.

#include "presentation/views/shell/MainWindow.h"

#include "app/AppHarness.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "presentation/support/Pointer.h"
#include "presentation/views/preview/PreviewPlayerView.h"
#include "presentation/views/preview/VideoSurface.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "presentation/views/timeline/TrackLanesView.h"
#include "support/RunEventsUntil.h"
#include "support/media/MovieMaker.h"

#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <vector>

using namespace vexel;
using namespace vexel::test;
using media::MediaTime;
using vexel::testing::runEventsUntil;

namespace {

// 1080p30 with a key frame every two seconds at most, as cameras write them.
constexpr int kClipFrames = 100;

// A project folder holding one such clip on a video track.
std::filesystem::path writeProjectFolder(const std::filesystem::path& folder) {
    const std::filesystem::path movie = folder / "assets" / "clip.mp4";
    std::filesystem::create_directories(movie.parent_path());
    vexel::testing::writeTestMovie(
        movie,
        {.width = 1920, .height = 1080, .frameCount = kClipFrames, .maxKeyFrameInterval = 60});
    Clip clip;
    clip.id = Uuid::random();
    clip.assetName = "clip.mp4";
    clip.assetURL = movie;
    clip.trackType = TrackType::video;
    clip.timeRange = {0, kClipFrames / 30.0};
    Project project = Project::makeNew();
    project.tracks.insert(project.tracks.begin(),
                          Track{Uuid::random(), TrackType::video, "Video 1", {clip}});
    ProjectPersistenceService().save(project, folder);
    return folder;
}

int frameIndex(const MediaTime& time) {
    return static_cast<int>(time.value() * 30 / time.timescale());
}

} // namespace

TEST(MainWindowScrubTest, FromTheFirstDragOnThePictureFollowsTheHandAndNeverStepsBack) {
    AppHarness harness;
    harness.launch(writeProjectFolder(harness.root / "Scrub.vexel"));
    harness.graph().tutorialState().setCurrentStep(std::nullopt);
    MainWindow& window = harness.app->window();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    PreviewViewModel& preview = harness.graph().previewViewModel();
    playback::Player& player = preview.player();

    // The window rebuilds the preview a moment after the project arrives.
    settle();
    harness.time->advance(std::chrono::milliseconds(250));
    ASSERT_TRUE(preview.loadingTask());
    awaitTask(preview.loadingTask()->finished());
    ASSERT_TRUE(runEventsUntil([&] { return player.currentVideoFrame().has_value(); }));
    ASSERT_EQ(player.currentVideoFrame()->time, MediaTime::zero());

    // Every frame handed to the picture, and the frame under the hand.
    std::vector<int> shown;
    QObject recording;
    QObject::connect(
        &player, &playback::Player::videoFrameChanged, &recording,
        [&](const media::VideoFrame& frame) { shown.push_back(frameIndex(frame.time)); });
    const auto handFrame = [&] {
        return frameIndex(MediaTime::fromSeconds(preview.currentTime()));
    };
    const auto showsHandFrame = [&] {
        return runEventsUntil(
            [&] { return frameIndex(player.currentVideoFrame()->time) == handFrame(); });
    };

    // The lanes' background, on the lowest lane (an empty sound track), at the
    // middle of a frame's time.
    auto& panel = dynamic_cast<TimelinePanel&>(window.mainView()->timelinePane());
    TrackLanesView& lanes = *panel.content()->lanes();
    const double display = harness.graph().timelineViewModel().displayDuration();
    const auto at = [&](int frame) {
        const double x = (frame + 0.5) / 30.0 / display * lanes.width();
        return QPoint(static_cast<int>(std::lround(x)), lanes.height() - 4);
    };
    Pointer hand(lanes);

    // Pressed just before the next key frame, deep in a group of pictures
    // the decoder has not read, and moved on past that key frame at once: the
    // picture goes straight to the hand rather than to the frame it left.
    hand.press(at(58));
    ASSERT_EQ(handFrame(), 58) << "the lanes are too narrow to press a frame";
    hand.moveTo(at(62));
    ASSERT_TRUE(showsHandFrame());
    EXPECT_EQ(shown, std::vector<int>{62});

    // On in steps, each frame shown before the next: a path whose frames are
    // kept.
    for (int frame = 66; frame <= 94; frame += 4) {
        hand.moveTo(at(frame));
        ASSERT_TRUE(showsHandFrame()) << frame;
    }
    hand.release(at(94));
    settle();
    EXPECT_EQ(frameIndex(player.currentVideoFrame()->time), 94);

    // A later drag a frame beside that path, forward then back: frames kept
    // ahead of the hand are nearer to it than those behind, yet the picture
    // only ever moves with the hand, and rests on its exact frame.
    hand.press(at(63));
    ASSERT_TRUE(showsHandFrame());
    shown.clear();
    for (int frame = 65; frame <= 93; frame += 4) {
        hand.moveTo(at(frame));
        ASSERT_TRUE(showsHandFrame()) << frame;
    }
    const std::size_t turned = shown.size();
    for (int frame = 91; frame >= 79; frame -= 4) {
        hand.moveTo(at(frame));
        ASSERT_TRUE(showsHandFrame()) << frame;
    }
    hand.release(at(79));
    settle();
    ASSERT_GT(turned, 0u);
    for (std::size_t i = 1; i < shown.size(); ++i) {
        SCOPED_TRACE(i);
        if (i < turned) {
            EXPECT_GE(shown[i], shown[i - 1]) << "a step back while the hand moved on";
        } else if (i > turned) {
            EXPECT_LE(shown[i], shown[i - 1]) << "a step on while the hand moved back";
        }
    }
    EXPECT_EQ(frameIndex(player.currentVideoFrame()->time), 79);
    EXPECT_EQ(handFrame(), 79);
    // What the surface painted last is that frame.
    const QImage& picture = dynamic_cast<PreviewPlayerView&>(window.mainView()->previewPane())
                                .surface()
                                .presentedImage();
    ASSERT_FALSE(picture.isNull());
    EXPECT_NEAR(qRed(picture.pixel(picture.width() / 4, picture.height() / 2)),
                vexel::testing::testFrameLevel(79), 2);
    EXPECT_TRUE(harness.errors().empty());
}
