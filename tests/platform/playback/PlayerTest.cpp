#include "platform/playback/Player.h"

#include "ManualClock.h"
#include "platform/media/LayerVideoCompositionInstruction.h"
#include "platform/media/MutableComposition.h"
#include "platform/playback/SilentAudioSink.h"
#include "platform/playback/detail/SeekWorker.h"
#include "support/RunEventsUntil.h"
#include "support/media/FreshFrame.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <QScopeGuard>
#include <QTimer>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <set>
#include <vector>

namespace vexel::playback {
void PrintTo(TimeControlStatus status, std::ostream* out) {
    const char* names[] = {"paused", "waitingToPlayAtSpecifiedRate", "playing"};
    *out << names[static_cast<int>(status)];
}
} // namespace vexel::playback

using namespace vexel::media;
using namespace vexel::playback;
using vexel::testing::ManualClock;
using vexel::testing::runEventsUntil;
using vexel::testing::samePixels;
using vexel::testing::TemporaryFolder;
using vexel::testing::testFrameLevel;

namespace {

using Duration = MonotonicClock::Duration;

// 3 s of 320 x 240 at 30 fps with a key frame every second, and a tone.
constexpr int kClipFrames = 90;

class PlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TemporaryFolder();
        vexel::testing::writeTestMovie(*folder_ / "clip.mp4",
                                       {.frameCount = kClipFrames, .maxKeyFrameInterval = 30});
        clip_ = std::make_shared<const Asset>(Asset::load(*folder_ / "clip.mp4"));
    }
    static void TearDownTestSuite() {
        clip_.reset();
        delete folder_;
    }

    // The clip's first `frames` frames and their sound, in the layer form;
    // sound only when asked.
    static PlayerItem item(int frames, bool withVideo = true,
                           std::shared_ptr<const Asset> asset = clip_) {
        MutableComposition composition;
        MediaTimeRange range{MediaTime::zero(), MediaTime(frames, 30)};
        int videoTrack = asset->firstTrack(MediaType::video)->trackID;
        int audioTrack = asset->firstTrack(MediaType::audio)->trackID;
        CompositionTrack* video = withVideo ? composition.addTrack(MediaType::video) : nullptr;
        if (video) {
            video->insertTimeRange(range, asset, videoTrack, MediaTime::zero());
        }
        composition.addTrack(MediaType::audio)
            ->insertTimeRange(range, asset, audioTrack, MediaTime::zero());
        PlayerItem result{composition.copy()};
        if (video) {
            VideoComposition form;
            form.renderSize = {320, 240};
            VideoCompositionLayerInstruction layer;
            layer.trackID = video->trackID();
            form.instructions = {std::make_shared<LayerVideoCompositionInstruction>(
                range, std::vector<VideoCompositionLayerInstruction>{layer})};
            result.videoComposition = std::move(form);
        }
        return result;
    }

    static const TemporaryFolder& folder() { return *folder_; }

    // Runs the event loop until `count` frames have come.
    bool waitForFrames(std::size_t count) {
        return runEventsUntil([&] { return frames_.size() >= count; });
    }

    // The frame indices (at 30 fps) of the frames that came from the
    // `from`th on.
    std::vector<int> shownSince(std::size_t from) const {
        std::vector<int> shown;
        for (std::size_t i = from; i < frames_.size(); ++i) {
            shown.push_back(
                static_cast<int>(frames_[i].time.value() * 30 / frames_[i].time.timescale()));
        }
        return shown;
    }

    void record(Player& player) {
        QObject::connect(&player, &Player::videoFrameChanged, &context_,
                         [this](const VideoFrame& frame) { frames_.push_back(frame); });
        player.observeTimeControlStatus(
            &context_, [this](TimeControlStatus status) { statuses_.push_back(status); });
    }

    std::shared_ptr<ManualClock> clock_ = std::make_shared<ManualClock>();
    QObject context_;
    std::vector<VideoFrame> frames_;
    std::vector<TimeControlStatus> statuses_;

private:
    static inline TemporaryFolder* folder_ = nullptr;
    static inline std::shared_ptr<const Asset> clip_;
};

// The grey level of a frame's left half, which tells the source frame: levels
// of neighbouring frames are 4 apart, and coding moves them by 1 at most.
int level(const VideoFrame& frame) {
    return frame.buffer.row(120)[4 * 80 + 1];
}

// The earliest clock time at which the sound has played `frames` video frames
// at 30 fps since `from`.
Duration after(Duration from, int frames) {
    return from + Duration((frames * 1'000'000'000LL + 29) / 30);
}

} // namespace

TEST_F(PlayerTest, SeeksExactlyToTheFrameShowingAtTheTime) {
    Player player(clock_, std::make_unique<SilentAudioSink>(clock_));
    record(player);
    player.replaceCurrentItem(item(kClipFrames));
    EXPECT_EQ(player.currentItem()->presentationSize(), (Size{320, 240}));
    ASSERT_TRUE(waitForFrames(1));
    EXPECT_EQ(frames_[0].time, MediaTime::zero());

    struct Case {
        MediaTime seekTo;
        MediaTime currentTime;
        int frame;
    };
    const Case cases[] = {
        {MediaTime(900, 600), MediaTime(3, 2), 45},     // a frame's own time, mid-way between keys
        {MediaTime(906, 600), MediaTime(906, 600), 45}, // within that frame
        {MediaTime(2, 1), MediaTime(2, 1), 60},         // a key frame
        {MediaTime(59, 30), MediaTime(59, 30), 59},     // the last before it
        {MediaTime(10, 1), MediaTime(3, 1), 89},        // past the end: the last frame
        {MediaTime(-1, 1), MediaTime::zero(), 0},       // before the start
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seekTo.description());
        std::size_t before = frames_.size();
        player.seek(c.seekTo);
        EXPECT_EQ(player.currentTime(), c.currentTime);
        ASSERT_TRUE(waitForFrames(before + 1));
        EXPECT_EQ(frames_.back().time, MediaTime(c.frame, 30));
        EXPECT_NEAR(level(frames_.back()), testFrameLevel(c.frame), 2);
        EXPECT_EQ(player.currentVideoFrame()->time, MediaTime(c.frame, 30));
        EXPECT_EQ(player.currentTime(), c.currentTime);
    }
    EXPECT_EQ(statuses_, std::vector<TimeControlStatus>{TimeControlStatus::paused});
}

TEST_F(PlayerTest, PlaysEachFrameOnceInOrderAsTheSoundReachesIt) {
    Player player(clock_, std::make_unique<SilentAudioSink>(clock_));
    record(player);
    // The status comes at once, before anything happens.
    EXPECT_EQ(statuses_, std::vector<TimeControlStatus>{TimeControlStatus::paused});
    player.replaceCurrentItem(item(60));
    ASSERT_TRUE(waitForFrames(1));
    // Playing starts once the frames after the first are read ahead.
    player.play();
    ASSERT_TRUE(
        runEventsUntil([&] { return player.timeControlStatus() == TimeControlStatus::playing; }));

    Duration anchor = clock_->now();
    int anchorFrame = 0;
    for (int n = 1; n < 60; ++n) {
        if (n == 30) {
            // Paused, the clock moves on and playback does not.
            player.pause();
            clock_->advanceBy(std::chrono::milliseconds(500));
            EXPECT_EQ(player.currentTime(), MediaTime(29, 30));
            player.play();
            anchor = clock_->now();
            anchorFrame = 29;
        }
        clock_->advanceTo(after(anchor, n - anchorFrame));
        EXPECT_EQ(player.currentTime(), MediaTime(n, 30));
        ASSERT_TRUE(waitForFrames(static_cast<std::size_t>(n) + 1)) << n;
    }
    clock_->advanceTo(after(anchor, 60 - anchorFrame));
    ASSERT_TRUE(
        runEventsUntil([&] { return player.timeControlStatus() == TimeControlStatus::paused; }));
    EXPECT_EQ(player.currentTime(), MediaTime(2, 1));
    // At the end it stays there.
    player.play();
    EXPECT_EQ(player.timeControlStatus(), TimeControlStatus::paused);

    using enum TimeControlStatus;
    // Waiting for the first read-ahead may come between paused and playing;
    // read ahead, playing again needs no wait.
    if (statuses_.size() > 1 && statuses_[1] == waitingToPlayAtSpecifiedRate) {
        statuses_.erase(statuses_.begin() + 1);
    }
    EXPECT_EQ(statuses_,
              (std::vector<TimeControlStatus>{paused, playing, paused, playing, paused}));
    ASSERT_EQ(frames_.size(), 60u);
    for (int n = 0; n < 60; ++n) {
        EXPECT_EQ(frames_[n].time, MediaTime(n, 30));
        EXPECT_NEAR(level(frames_[n]), testFrameLevel(n), 2) << n;
    }
}

TEST_F(PlayerTest, TheSilentClockKeepsRealTime) {
    // The one test on the real clock: the player's time is read against the
    // same steady clock at the same moments, so a busy machine only delays
    // frames, not the ratio.
    auto steady = std::make_shared<SteadyMonotonicClock>();
    Player player(steady, std::make_unique<SilentAudioSink>(steady));
    record(player);
    player.replaceCurrentItem(item(kClipFrames));
    ASSERT_TRUE(waitForFrames(1));
    player.play();
    ASSERT_TRUE(
        runEventsUntil([&] { return player.timeControlStatus() == TimeControlStatus::playing; }));
    Duration realStart = steady->now();
    double playerStart = player.currentTime().seconds();
    ASSERT_TRUE(runEventsUntil([&] { return steady->now() - realStart >= std::chrono::seconds(2); },
                               std::chrono::seconds(4)));
    double real = std::chrono::duration<double>(steady->now() - realStart).count();
    double played = player.currentTime().seconds() - playerStart;
    EXPECT_NEAR(played / real, 1.0, 0.05);
    ASSERT_GE(frames_.size(), 2u);
    for (std::size_t i = 1; i < frames_.size(); ++i) {
        EXPECT_LT(frames_[i - 1].time, frames_[i].time);
    }
}

TEST_F(PlayerTest, SoundOnlyItemPlaysToItsEndAndNoItemPlaysNothing) {
    Player player(clock_, std::make_unique<SilentAudioSink>(clock_));
    record(player);
    PlayerItem sound = item(60, false);
    EXPECT_EQ(sound.presentationSize(), (Size{0, 0}));
    player.replaceCurrentItem(std::move(sound));
    player.play();
    ASSERT_TRUE(
        runEventsUntil([&] { return player.timeControlStatus() == TimeControlStatus::playing; }));
    clock_->advanceBy(std::chrono::seconds(1));
    EXPECT_EQ(player.currentTime(), MediaTime(1, 1));
    clock_->advanceBy(std::chrono::seconds(2));
    ASSERT_TRUE(
        runEventsUntil([&] { return player.timeControlStatus() == TimeControlStatus::paused; }));
    EXPECT_EQ(player.currentTime(), MediaTime(2, 1));
    EXPECT_TRUE(frames_.empty());

    player.replaceCurrentItem(std::nullopt);
    EXPECT_EQ(player.currentItem(), nullptr);
    EXPECT_EQ(player.currentTime(), MediaTime::zero());
    player.seek(MediaTime(1, 1));
    EXPECT_EQ(player.currentTime(), MediaTime::zero());
    // Asked to play with nothing to play, it waits for an item.
    player.play();
    EXPECT_EQ(player.timeControlStatus(), TimeControlStatus::waitingToPlayAtSpecifiedRate);
    player.replaceCurrentItem(item(30));
    ASSERT_TRUE(
        runEventsUntil([&] { return player.timeControlStatus() == TimeControlStatus::playing; }));
    EXPECT_EQ(frames_.size(), 1u);
}

TEST_F(PlayerTest, AnItemThatCannotBeReadFailsAndPauses) {
    vexel::testing::writeTestMovie(folder() / "gone.mp4");
    auto gone = std::make_shared<const Asset>(Asset::load(folder() / "gone.mp4"));
    std::filesystem::remove(folder() / "gone.mp4");

    Player player(clock_, std::make_unique<SilentAudioSink>(clock_));
    record(player);
    int failures = 0;
    QObject::connect(&player, &Player::failed, &context_, [&] { ++failures; });
    player.replaceCurrentItem(item(30, true, gone));
    player.play();
    ASSERT_TRUE(runEventsUntil([&] { return failures > 0; }));
    ASSERT_TRUE(player.error().has_value());
    EXPECT_EQ(player.error()->kind(), MediaError::Kind::cannotOpen);
    using enum TimeControlStatus;
    EXPECT_EQ(statuses_,
              (std::vector<TimeControlStatus>{paused, waitingToPlayAtSpecifiedRate, paused}));
    player.play();
    EXPECT_EQ(player.timeControlStatus(), paused);
    EXPECT_EQ(failures, 1);
}

namespace {

// Frame n of the item as a reader newly opened at it composes it.
PixelBuffer freshFrame(const PlayerItem& item, int n) {
    return vexel::testing::freshFrame(item.composition, *item.videoComposition, MediaTime(n, 30));
}

// Runs the event loop until the player shows frame n.
bool showsFrame(const Player& player, int n) {
    return runEventsUntil([&] {
        return player.currentVideoFrame() && player.currentVideoFrame()->time == MediaTime(n, 30);
    });
}

// Runs the event loop until the player keeps `count` frames. A frame is kept
// just after it shows, on the seeks' thread, which sends no word of it: this
// looks again every millisecond.
bool keeps(const Player& player, std::size_t count) {
    QTimer look;
    look.start(1);
    return runEventsUntil(
        [&] { return static_cast<std::size_t>(player.seekStatistics().cachedFrames) >= count; });
}

} // namespace

TEST_F(PlayerTest, ABurstOfSeeksDecodesFewAndEndsOnTheLastOnesExactFrame) {
    Player player(clock_, std::make_unique<SilentAudioSink>(clock_));
    record(player);
    const PlayerItem clip = item(kClipFrames);
    player.replaceCurrentItem(clip);
    ASSERT_TRUE(waitForFrames(1));

    // As fast as a hand never moves: each seek replaces the one waiting.
    int target = 0;
    for (int i = 0; i < 100; ++i) {
        target = (7 + 53 * i) % kClipFrames;
        player.seek(MediaTime(target, 30));
    }
    ASSERT_TRUE(showsFrame(player, target));
    EXPECT_TRUE(samePixels(player.currentVideoFrame()->buffer, freshFrame(clip, target)));
    EXPECT_EQ(player.currentTime(), MediaTime(target, 30));
    // The first seek, perhaps given up, and the last; a worker that finishes
    // a seek while the burst is still being asked for (a slow, loaded or
    // instrumented run) takes one more, so a few are allowed, never most.
    SeekStatistics seeks = player.seekStatistics();
    EXPECT_LE(seeks.decoded + seeks.abandoned + seeks.fromCache, 10);
    EXPECT_GE(seeks.skipped, 100 - 10);
    EXPECT_LE(frames_.size(), 1u + 10u);
    // The frames shown are kept, well within the bound.
    ASSERT_TRUE(keeps(player, 2));
    EXPECT_LE(static_cast<std::size_t>(player.seekStatistics().cachedBytes),
              Player::frameCacheBytes);
}

TEST_F(PlayerTest, AScrubShowsAFrameAtHandAtOnceAndRestsOnTheExactFrame) {
    Player player(clock_, std::make_unique<SilentAudioSink>(clock_));
    record(player);
    const PlayerItem clip = item(kClipFrames);
    player.replaceCurrentItem(clip);
    ASSERT_TRUE(waitForFrames(1));
    // Waits until frame n shows and is kept, as a hand does not come back
    // within the moment between.
    std::set<int> kept{0};
    auto restsOn = [&](int n) {
        kept.insert(n);
        return showsFrame(player, n) && keeps(player, kept.size());
    };
    auto seekAndWait = [&](int n) {
        player.seek(MediaTime(n, 30));
        return restsOn(n);
    };
    ASSERT_TRUE(seekAndWait(10));
    ASSERT_TRUE(seekAndWait(20));
    ASSERT_TRUE(seekAndWait(30));

    struct Step {
        int scrubTo;
        // Shown at once, within the call: a frame seen before, near enough,
        // between the picture and the hand.
        std::optional<int> atOnce;
    };
    const Step steps[] = {
        {12, 20},           // back: 10 is nearer, but past the hand
        {27, 20},           // on: 30 is nearer, but past the hand
        {10, 10},           // on a frame seen
        {60, std::nullopt}, // nothing seen within half a second
        {40, std::nullopt}, // nothing seen between the picture and the hand
        {46, 40},           // the picture's own frame is the nearest
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.scrubTo);
        std::size_t before = frames_.size();
        player.scrub(MediaTime(step.scrubTo, 30));
        EXPECT_EQ(player.currentTime(), MediaTime(step.scrubTo, 30));
        if (step.atOnce) {
            ASSERT_EQ(frames_.size(), before + 1);
            EXPECT_EQ(frames_.back().time, MediaTime(*step.atOnce, 30));
        } else {
            EXPECT_EQ(frames_.size(), before);
        }
        // Where the scrub rests, the exact frame.
        ASSERT_TRUE(restsOn(step.scrubTo));
        EXPECT_TRUE(samePixels(player.currentVideoFrame()->buffer, freshFrame(clip, step.scrubTo)));
    }

    // Shown smaller, frames are kept at that size: going back shows them so.
    player.setShownSize(Size{160, 120});
    kept.clear();
    ASSERT_TRUE(seekAndWait(30));
    EXPECT_EQ(player.currentVideoFrame()->buffer.width(), 320);
    ASSERT_TRUE(seekAndWait(36));
    player.scrub(MediaTime(29, 30));
    EXPECT_EQ(frames_.back().time, MediaTime(30, 30));
    EXPECT_EQ(frames_.back().buffer.width(), 160);
    EXPECT_EQ(frames_.back().buffer.height(), 120);
    ASSERT_TRUE(
        runEventsUntil([&] { return player.currentVideoFrame()->time == MediaTime(29, 30); }));
    EXPECT_EQ(player.currentVideoFrame()->buffer.width(), 320);
    EXPECT_EQ(statuses_, std::vector<TimeControlStatus>{TimeControlStatus::paused});
}

namespace {

// Holds the first frame asked of its compositors (or the first at one time)
// until let go, so that the frame is still being made when the test moves on.
class Gate {
public:
    Gate() = default;
    explicit Gate(MediaTime held)
        : held_(held) {}

    // Blank frames, the first held once let go.
    class Compositor : public VideoCompositor {
    public:
        explicit Compositor(std::shared_ptr<Gate> gate)
            : gate_(std::move(gate)) {
            std::lock_guard lock(gate_->mutex_);
            ++gate_->alive_;
        }
        ~Compositor() override {
            std::lock_guard lock(gate_->mutex_);
            --gate_->alive_;
            gate_->changed_.notify_all();
        }
        void startRequest(VideoCompositionRequest& request) override {
            if (!gate_->held_ || request.compositionTime() == *gate_->held_) {
                std::unique_lock lock(gate_->mutex_);
                gate_->entered_ = true;
                gate_->changed_.notify_all();
                gate_->changed_.wait(lock, [&] { return gate_->open_; });
            }
            request.finish(*request.newPixelBuffer());
        }

    private:
        std::shared_ptr<Gate> gate_;
    };

    void letGo() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // Holds the frame at `time` from now on, until let go again.
    void hold(MediaTime time) {
        std::lock_guard lock(mutex_);
        held_ = time;
        open_ = false;
        entered_ = false;
    }
    // Waits, for a while at most, until a frame is held.
    bool holds() {
        return waitFor([&] { return entered_; });
    }
    // Waits, for a while at most, until every compositor made is gone.
    bool allGone() {
        return waitFor([&] { return alive_ == 0; });
    }

private:
    template <typename Condition> bool waitFor(Condition done) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(15), done);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    // Set before the compositors run, or while every one waits.
    std::optional<MediaTime> held_;
    bool entered_ = false;
    bool open_ = false;
    int alive_ = 0;
};

} // namespace

TEST_F(PlayerTest, AFrameOfTheFormerItemStillBeingMadeNeverShowsForTheNewOne) {
    auto gate = std::make_shared<Gate>();
    PlayerItem blank = item(kClipFrames);
    blank.videoComposition->customCompositor = [gate] {
        return std::make_unique<Gate::Compositor>(gate);
    };
    const PlayerItem clip = item(kClipFrames);
    const PixelBuffer first = freshFrame(clip, 0);

    Player player(clock_, std::make_unique<SilentAudioSink>(clock_));
    // The player ends only once the frame held is made.
    auto letGo = qScopeGuard([&] { gate->letGo(); });
    record(player);
    player.replaceCurrentItem(blank);
    ASSERT_TRUE(gate->holds());

    // The new item's first frame shows and is kept while the former item's
    // is still being made; that one comes once its worker has been retired.
    player.replaceCurrentItem(clip);
    ASSERT_TRUE(waitForFrames(1));
    EXPECT_TRUE(samePixels(frames_[0].buffer, first));
    ASSERT_TRUE(keeps(player, 1));
    gate->letGo();
    ASSERT_TRUE(gate->allGone());

    // Going back to the new item's first frame shows that frame.
    player.seek(MediaTime(10, 30));
    ASSERT_TRUE(showsFrame(player, 10));
    player.seek(MediaTime::zero());
    ASSERT_TRUE(showsFrame(player, 0));
    EXPECT_TRUE(samePixels(player.currentVideoFrame()->buffer, first));
    EXPECT_EQ(player.seekStatistics().fromCache, 1);
}

TEST_F(PlayerTest, AFrameOfAnEarlierSeekNeverTakesThePictureBackAgainstTheHand) {
    // Holding, until the cases below, a frame nothing asks for before them.
    auto gate = std::make_shared<Gate>(MediaTime(30, 30));
    PlayerItem held = item(kClipFrames);
    held.videoComposition->customCompositor = [gate] {
        return std::make_unique<Gate::Compositor>(gate);
    };
    Player player(clock_, std::make_unique<SilentAudioSink>(clock_));
    auto letGo = qScopeGuard([&] { gate->letGo(); });
    record(player);
    player.replaceCurrentItem(held);
    ASSERT_TRUE(waitForFrames(1));
    std::size_t kept = 1;
    for (int n : {50, 20}) {
        player.seek(MediaTime(n, 30));
        ASSERT_TRUE(showsFrame(player, n) && keeps(player, ++kept));
    }

    // From the picture on 20, with 50 seen before: a seek's frame still being
    // made when the hand moves on shows only between the picture and the
    // hand.
    struct Case {
        const char* name;
        int held;
        int scrubTo;
        std::vector<int> shown;
    };
    const Case cases[] = {
        {"on, past it, the picture on a frame seen beyond it", 30, 52, {50, 52}},
        {"turned back: it lies behind the way back", 60, 40, {50, 40}},
        {"between: 60, made for the way on, at once, then 62", 62, 66, {60, 62, 66}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gate->hold(MediaTime(c.held, 30));
        const std::size_t from = frames_.size();
        player.seek(MediaTime(c.held, 30));
        ASSERT_TRUE(gate->holds());
        player.scrub(MediaTime(c.scrubTo, 30));
        gate->letGo();
        ASSERT_TRUE(showsFrame(player, c.scrubTo));
        EXPECT_EQ(shownSince(from), c.shown);
        EXPECT_EQ(player.currentTime(), MediaTime(c.scrubTo, 30));
    }
}

TEST_F(PlayerTest, AScrubFarAheadOnTheDecodersWayShowsFramesItPassesThenItsOwn) {
    Player player(clock_, std::make_unique<SilentAudioSink>(clock_));
    record(player);
    player.replaceCurrentItem(item(kClipFrames));
    ASSERT_TRUE(waitForFrames(1));
    // On the key frame of a group of pictures that lasts to frame 59.
    player.seek(MediaTime(30, 30));
    ASSERT_TRUE(showsFrame(player, 30));

    // Decoded on from the picture: the frames passed show a few apart, as a
    // picture fallen behind a quick hand, then the one asked for.
    std::size_t from = frames_.size();
    player.scrub(MediaTime(57, 30));
    ASSERT_TRUE(showsFrame(player, 57));
    const int stride = static_cast<int>(vexel::playback::detail::SeekWorker::passingStride);
    std::vector<int> passed;
    for (int n = 30 + stride; n < 57; n += stride) {
        passed.push_back(n);
    }
    passed.push_back(57);
    EXPECT_EQ(shownSince(from), passed);

    // Back, the nearest kept frame at once, as a scrub shows it, then the one
    // asked for: nothing is passed on the way; nor by an exact seek, however
    // far.
    from = frames_.size();
    player.scrub(MediaTime(31, 30));
    ASSERT_TRUE(showsFrame(player, 31));
    player.seek(MediaTime(58, 30));
    ASSERT_TRUE(showsFrame(player, 58));
    EXPECT_EQ(shownSince(from), (std::vector<int>{30 + stride, 31, 58}));
}
