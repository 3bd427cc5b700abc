#include "presentation/viewmodels/PreviewViewModel.h"

#include "data/composition/CompositionBuilder.h"
#include "data/composition/TestProjects.h"
#include "platform/playback/ManualClock.h"
#include "platform/playback/SilentAudioSink.h"
#include "presentation/support/EventLoop.h"
#include "presentation/viewmodels/PreviewItemBuilder.h"
#include "support/RecordingLogger.h"
#include "support/RunEventsUntil.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <QImage>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <tuple>

using namespace vexel;
using media::MediaTime;
using playback::TimeControlStatus;
using vexel::testing::clipOf;
using vexel::testing::ManualClock;
using vexel::testing::projectOf;
using vexel::testing::runEventsUntil;
using vexel::testing::ScopedEnvironment;
using vexel::testing::TemporaryFolder;
using vexel::testing::trackOf;

namespace {

// 3 s of 320 x 240 at 30 fps with a key frame every second, and a tone.
class TestMedia {
public:
    TemporaryFolder folder;
    ScopedEnvironment cacheHome{"XDG_CACHE_HOME", folder.path().string()};
    std::filesystem::path clip = folder / "clip.mp4";

    TestMedia() {
        vexel::testing::writeTestMovie(clip, {.frameCount = 90, .maxKeyFrameInterval = 30});
    }
};

// A project of one video track of the file's clips, each on [start, start +
// length) s of the timeline from `offset` s into the file.
Project videoProjectOf(std::vector<std::tuple<double, double, double>> placements,
                       const std::filesystem::path& file) {
    std::vector<Clip> clips;
    for (auto [start, length, offset] : placements) {
        clips.push_back(clipOf(TrackType::video, start, length, file));
        clips.back().sourceOffset = offset;
    }
    return projectOf({trackOf(TrackType::video, std::move(clips))});
}

// Holds builds until the test lets the build of a project of that length
// through; a build let through ignores its cancellation, as a build that was
// too far along to stop.
class BuildGate {
public:
    explicit BuildGate(std::shared_ptr<const PreviewItemBuilder> builder)
        : builder_(std::move(builder)) {}

    playback::PlayerItem build(const Project& project) {
        double length = project.tracks.front().clips.front().timeRange.duration;
        {
            std::unique_lock lock(mutex_);
            opened_.wait(lock, [&] { return open_.contains(length); });
        }
        return builder_->build(project);
    }
    void open(double length) {
        std::lock_guard lock(mutex_);
        open_.insert(length);
        opened_.notify_all();
    }

private:
    std::shared_ptr<const PreviewItemBuilder> builder_;
    std::mutex mutex_;
    std::condition_variable opened_;
    std::set<double> open_;
};

class PreviewViewModelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { media_ = new TestMedia(); }
    static void TearDownTestSuite() {
        delete media_;
        media_ = nullptr;
    }

    // A on [0, 1) from the clip's start, B on [1, 3) from its second 1: the
    // composition shows the clip's own frame n at n / 30.
    static Project twoClips() { return videoProjectOf({{0, 1, 0}, {1, 2, 1}}, media_->clip); }
    // One clip of `length` seconds.
    static Project oneClip(double length) { return videoProjectOf({{0, length, 0}}, media_->clip); }

    std::unique_ptr<PreviewViewModel> makeViewModel(double maxDuration = 3600) {
        return makeViewModel(
            maxDuration, [builder = itemBuilder_](const Project& project, std::stop_token stop) {
                return builder->build(project, stop);
            });
    }
    std::unique_ptr<PreviewViewModel> makeViewModel(double maxDuration,
                                                    PreviewViewModel::ItemBuild build) {
        auto links = [this](std::function<void()> callback) -> std::unique_ptr<DisplayLink> {
            tick_ = std::move(callback);
            return std::make_unique<TestLink>(linkAlive_);
        };
        return std::make_unique<PreviewViewModel>(
            maxDuration, std::move(build), links, logger_,
            std::make_unique<playback::Player>(
                clock_, std::make_unique<playback::SilentAudioSink>(clock_)));
    }

    static void load(PreviewViewModel& preview, Project project) {
        test::awaitTask(preview.loadProject(std::move(project)).finished());
    }

    // One refresh of the screen.
    void tick() { tick_(); }

    std::shared_ptr<ManualClock> clock_ = std::make_shared<ManualClock>();
    std::shared_ptr<test::RecordingLogger> logger_ = std::make_shared<test::RecordingLogger>();
    std::shared_ptr<const PreviewItemBuilder> itemBuilder_ =
        std::make_shared<PreviewItemBuilder>(std::make_shared<CompositionBuilder>(logger_));
    bool linkAlive_ = false;

private:
    class TestLink final : public DisplayLink {
    public:
        explicit TestLink(bool& alive)
            : alive_(alive) {
            alive_ = true;
        }
        ~TestLink() override { alive_ = false; }

    private:
        bool& alive_;
    };

    static inline TestMedia* media_ = nullptr;
    std::function<void()> tick_;
};

// The grey level of a frame's left half, which tells the source frame.
int level(const media::VideoFrame& frame) {
    return frame.buffer.row(120)[4 * 80 + 1];
}

} // namespace

TEST_F(PreviewViewModelTest, ShowsTheFrameOfAnExactSeekAndClampsSeeks) {
    auto preview = makeViewModel();
    std::vector<media::VideoFrame> frames;
    QObject::connect(&preview->player(), &playback::Player::videoFrameChanged, preview.get(),
                     [&](const media::VideoFrame& frame) { frames.push_back(frame); });
    EXPECT_FALSE(preview->hasContent());
    EXPECT_EQ(preview->videoSize(), (media::Size{}));

    load(*preview, twoClips());
    EXPECT_TRUE(preview->hasContent());
    EXPECT_EQ(preview->videoSize(), (media::Size{320, 240}));
    EXPECT_EQ(preview->currentTime(), 0);

    preview->seek(1.5);
    EXPECT_EQ(preview->currentTime(), 1.5);
    EXPECT_EQ(preview->player().currentTime(), MediaTime(3, 2));
    ASSERT_TRUE(
        runEventsUntil([&] { return !frames.empty() && frames.back().time > MediaTime::zero(); }));
    EXPECT_EQ(frames.back().time, MediaTime(45, 30));
    EXPECT_NEAR(level(frames.back()), vexel::testing::testFrameLevel(45), 2);

    struct Case {
        double seekTo;
        double shown;
        MediaTime playerTime;
    };
    const Case cases[] = {
        {-5, 0, MediaTime::zero()},
        {4000, 3600, MediaTime(3, 1)}, // the player keeps within its item
        {std::numeric_limits<double>::quiet_NaN(), 0, MediaTime::zero()},
        {1.0 / 3, 1.0 / 3, MediaTime(200, 600)}, // at timescale 600
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seekTo);
        preview->seek(2);
        preview->seek(c.seekTo);
        EXPECT_EQ(preview->currentTime(), c.shown);
        EXPECT_EQ(preview->player().currentTime(), c.playerTime);
    }
}

TEST_F(PreviewViewModelTest, PlayStateFollowsThePlayerAndThePlayheadMovesOnlyWhilePlaying) {
    auto preview = makeViewModel();
    QSignalSpy playing(preview.get(), &PreviewViewModel::isPlayingChanged);
    QSignalSpy moved(preview.get(), &PreviewViewModel::currentTimeChanged);
    EXPECT_TRUE(preview->hasDisplayLink());
    EXPECT_TRUE(preview->isObservingStatus());

    // Nothing to play: nothing happens.
    preview->togglePlayback();
    EXPECT_EQ(preview->player().timeControlStatus(), TimeControlStatus::paused);
    load(*preview, twoClips());
    moved.clear();

    preview->togglePlayback();
    // Set by the player's status alone, once it plays.
    EXPECT_FALSE(preview->isPlaying());
    ASSERT_TRUE(runEventsUntil([&] { return preview->isPlaying(); }));
    tick();
    clock_->advanceBy(std::chrono::milliseconds(5));
    tick();
    EXPECT_EQ(moved.count(), 0);
    clock_->advanceBy(std::chrono::milliseconds(5));
    tick();
    EXPECT_DOUBLE_EQ(preview->currentTime(), 0.01);
    EXPECT_EQ(moved.count(), 1);

    preview->togglePlayback();
    EXPECT_FALSE(preview->isPlaying());
    EXPECT_EQ(playing.count(), 2);
    clock_->advanceBy(std::chrono::milliseconds(500));
    tick();
    EXPECT_DOUBLE_EQ(preview->currentTime(), 0.01);

    // A player time beyond the maximum shows as the maximum.
    auto capped = makeViewModel(1.0);
    load(*capped, twoClips());
    capped->player().seek(MediaTime(3, 2));
    capped->togglePlayback();
    ASSERT_TRUE(runEventsUntil([&] { return capped->isPlaying(); }));
    tick();
    EXPECT_EQ(capped->currentTime(), 1.0);
}

TEST_F(PreviewViewModelTest, OnlyTheLatestLoadReachesThePlayerWhicheverBuildEndsFirst) {
    for (bool latestEndsFirst : {true, false}) {
        SCOPED_TRACE(latestEndsFirst);
        auto gate = std::make_shared<BuildGate>(itemBuilder_);
        auto preview = makeViewModel(
            3600, [gate](const Project& project, std::stop_token) { return gate->build(project); });
        TaskHandle first = preview->loadProject(oneClip(1));
        TaskHandle second = preview->loadProject(oneClip(2));
        EXPECT_TRUE(first.isCancelled());
        EXPECT_EQ(preview->loadingTask(), second);
        for (double length : latestEndsFirst ? std::vector{2.0, 1.0} : std::vector{1.0, 2.0}) {
            gate->open(length);
            test::awaitTask((length == 2 ? second : first).finished());
        }
        ASSERT_NE(preview->player().currentItem(), nullptr);
        EXPECT_EQ(preview->player().currentItem()->duration(), MediaTime(2, 1));
        EXPECT_TRUE(preview->hasContent());
    }
}

TEST_F(PreviewViewModelTest, AReloadShowsTheFrameAtTheTimeThePlayerStoodAtWithinTheNewContent) {
    // Each case leaves the preview at a time, with or without content, then
    // loads a project of `length` s; the composition shows the file's frame n
    // at n / 30 throughout.
    struct Case {
        const char* name;
        std::optional<double> before; // the length loaded first; none: empty
        double seekTo;
        double length;
        MediaTime kept;
    };
    const Case cases[] = {
        {"the playhead stays", 3, 1.5, 2, MediaTime(3, 2)},
        {"within shorter content", 3, 2.5, 1, MediaTime(1, 1)},
        {"at the end", 2, 2, 3, MediaTime(2, 1)},
        {"before there was content", std::nullopt, 1.2, 3, MediaTime(6, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto preview = makeViewModel();
        std::vector<media::VideoFrame> frames;
        QObject::connect(&preview->player(), &playback::Player::videoFrameChanged, preview.get(),
                         [&](const media::VideoFrame& frame) { frames.push_back(frame); });
        if (c.before) {
            load(*preview, oneClip(*c.before));
        }
        preview->seek(c.seekTo);
        load(*preview, oneClip(c.length));
        EXPECT_EQ(preview->currentTime(), c.kept.seconds());
        EXPECT_EQ(preview->player().currentTime(), c.kept);
        EXPECT_FALSE(preview->isPlaying());
        // The frame that shows at that time, never one from the start first.
        const MediaTime frameTime =
            std::min(MediaTime(static_cast<std::int64_t>(c.kept.seconds() * 30), 30),
                     MediaTime(static_cast<std::int64_t>(c.length * 30 - 1), 30));
        frames.clear();
        ASSERT_TRUE(runEventsUntil([&] { return !frames.empty(); }));
        EXPECT_EQ(frames.front().time, frameTime);
        const int index = static_cast<int>(frameTime.value() * 30 / frameTime.timescale());
        EXPECT_NEAR(level(frames.front()), vexel::testing::testFrameLevel(index), 2);
    }

    // A playhead put between two ticks of the player's clock stays as shown.
    auto between = makeViewModel();
    load(*between, oneClip(3));
    between->seek(1.2345);
    load(*between, oneClip(3));
    EXPECT_EQ(between->currentTime(), 1.2345);
    EXPECT_EQ(between->player().currentTime(), MediaTime::fromSeconds(1.2345));

    // A reload while playing pauses where the player was.
    auto playing = makeViewModel();
    load(*playing, oneClip(3));
    playing->togglePlayback();
    ASSERT_TRUE(runEventsUntil([&] { return playing->isPlaying(); }));
    clock_->advanceBy(std::chrono::milliseconds(700));
    const MediaTime stoodAt = playing->player().currentTime();
    EXPECT_GT(stoodAt, MediaTime(1, 2));
    load(*playing, oneClip(3));
    EXPECT_FALSE(playing->isPlaying());
    EXPECT_EQ(playing->player().timeControlStatus(), TimeControlStatus::paused);
    EXPECT_NEAR(playing->currentTime(), stoodAt.seconds(), 1.0 / 600);
    EXPECT_EQ(playing->player().currentTime(), MediaTime::fromSeconds(stoodAt.seconds()));

    // A seek made while the project builds is the time kept.
    auto gate = std::make_shared<BuildGate>(itemBuilder_);
    auto gated = makeViewModel(
        3600, [gate](const Project& project, std::stop_token) { return gate->build(project); });
    gate->open(3);
    load(*gated, oneClip(3));
    gated->seek(2);
    TaskHandle rebuild = gated->loadProject(oneClip(2.5));
    gated->seek(0.5);
    gate->open(2.5);
    test::awaitTask(rebuild.finished());
    EXPECT_EQ(gated->currentTime(), 0.5);
    EXPECT_EQ(gated->player().currentTime(), MediaTime(1, 2));
}

TEST_F(PreviewViewModelTest, AFailedBuildEmptiesThePreviewWithoutAnError) {
    auto preview = makeViewModel();
    load(*preview, twoClips());
    // A load also forgets the decoded overlay images.
    TemporaryFolder folder;
    QImage picture(8, 8, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString((folder.path() / "a.png").string())));
    ASSERT_TRUE(preview->imageCache().image(folder.path() / "a.png"));
    EXPECT_EQ(preview->imageCache().count(), 1u);
    preview->seek(1);
    load(*preview, videoProjectOf({}, folder.path()));
    EXPECT_EQ(preview->imageCache().count(), 0u);
    EXPECT_EQ(preview->player().currentItem(), nullptr);
    EXPECT_FALSE(preview->hasContent());
    EXPECT_EQ(preview->videoSize(), (media::Size{}));
    EXPECT_EQ(preview->currentTime(), 0);
    EXPECT_TRUE(logger_->messages().empty());

    // Playing without content (the player was given an item behind the view
    // model's back), toggling still pauses.
    preview->player().replaceCurrentItem(itemBuilder_->build(twoClips()));
    preview->player().play();
    ASSERT_TRUE(runEventsUntil([&] { return preview->isPlaying(); }));
    preview->togglePlayback();
    EXPECT_FALSE(preview->isPlaying());
}

TEST_F(PreviewViewModelTest, TearDownEndsTheLinkTheObservationAndTheLoad) {
    auto gate = std::make_shared<BuildGate>(itemBuilder_);
    auto preview = makeViewModel(
        3600, [gate](const Project& project, std::stop_token) { return gate->build(project); });
    TaskHandle load = preview->loadProject(oneClip(2));
    preview->tearDown();
    EXPECT_FALSE(preview->loadingTask().has_value());
    EXPECT_TRUE(load.isCancelled());
    EXPECT_FALSE(preview->hasDisplayLink());
    EXPECT_FALSE(linkAlive_);
    EXPECT_FALSE(preview->isObservingStatus());

    gate->open(2);
    test::awaitTask(load.finished());
    EXPECT_FALSE(preview->hasContent());
    EXPECT_EQ(preview->player().currentItem(), nullptr);

    // The play state no longer follows the player; seeks still move the
    // playhead.
    preview->player().replaceCurrentItem(itemBuilder_->build(oneClip(2)));
    preview->player().play();
    ASSERT_TRUE(runEventsUntil(
        [&] { return preview->player().timeControlStatus() == TimeControlStatus::playing; }));
    EXPECT_FALSE(preview->isPlaying());
    preview->seek(1.25);
    EXPECT_EQ(preview->currentTime(), 1.25);

    // Without a screen there is no link at all.
    PreviewViewModel screenless(3600, {}, timerDisplayLinks(std::nullopt), logger_,
                                std::make_unique<playback::Player>(
                                    clock_, std::make_unique<playback::SilentAudioSink>(clock_)));
    EXPECT_FALSE(screenless.hasDisplayLink());
}
