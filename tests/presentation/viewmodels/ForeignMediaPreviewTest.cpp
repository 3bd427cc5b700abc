// Files as phones, cameras, screen recorders and the web write them, made by
// FFmpeg's own muxers and encoders, added through the real loader and shown
// by the preview as the application builds it: the real composition builder
// and player, on a clock the test moves.

#include "data/composition/TestProjects.h"
#include "data/media/FFmpegMediaLoader.h"
#include "presentation/support/PreviewHarness.h"
#include "support/ForeignMedia.h"
#include "support/media/FieldPictures.h"
#include "support/media/ForeignClips.h"
#include "support/media/FrameAt.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

using namespace vexel;
using media::MediaTime;
using vexel::testing::FieldOrder;
using vexel::testing::ForeignAudio;
using vexel::testing::ForeignMedia;
using vexel::testing::foreignPicture;
using vexel::testing::ForeignVideo;
using vexel::testing::paintedGreyLevel;
using vexel::testing::quickX264;

namespace {

struct Source {
    std::string name;
    ForeignMedia media;
    media::Size shown;
};

// Pictures at 25 a second, long enough for frame 45 (1.8 s).
std::vector<Source> sources() {
    ForeignVideo pal = foreignPicture("libx264", 50, 720, 576, quickX264());
    pal.aspectNumerator = 64;
    pal.aspectDenominator = 45;
    return {
        {"phone.webm",
         {.container = "webm",
          .video = foreignPicture("libvpx-vp9", 50, 320, 240,
                                  {{"deadline", "realtime"}, {"cpu-used", "8"}}),
          .audio = ForeignAudio{.encoder = "libopus", .seconds = 2.0}},
         {320, 240}},
        {"screen.mkv",
         {.container = "matroska",
          .video = foreignPicture("libaom-av1", 50, 160, 120,
                                  {{"cpu-used", "8"}, {"usage", "realtime"}}),
          .audio = ForeignAudio{.encoder = "libopus", .seconds = 2.0}},
         {160, 120}},
        {"camera.mkv",
         {.container = "matroska",
          .video = foreignPicture("libx264", 50, 320, 240, quickX264()),
          .audio = ForeignAudio{.seconds = 2.0}},
         {320, 240}},
        {"silent.mkv",
         {.container = "matroska", .video = foreignPicture("libx264", 50, 320, 240, quickX264())},
         {320, 240}},
        {"camera.mts",
         {.container = "mpegts",
          .video = foreignPicture("libx264", 50, 320, 240, quickX264()),
          .audio = ForeignAudio{.encoder = "ac3", .seconds = 2.0},
          .startSeconds = 1.48},
         {320, 240}},
        {"pal.mp4", {.container = "mp4", .video = pal}, {1024, 576}},
    };
}

// The frames the player hands over while the clock moves on in steps of
// 10 ms, by their index on the preview's 30 a second, until frame `last`.
std::map<std::int64_t, media::PixelBuffer> playUntil(test::PreviewHarness& harness,
                                                     std::int64_t last) {
    std::map<std::int64_t, media::PixelBuffer> frames;
    QObject context;
    QObject::connect(&harness.preview.player(), &playback::Player::videoFrameChanged, &context,
                     [&](const media::VideoFrame& frame) {
                         frames[frame.time.convertScale(30).value()] = frame.buffer;
                     });
    harness.preview.togglePlayback();
    EXPECT_TRUE(vexel::testing::runEventsUntil([&] { return harness.preview.isPlaying(); }));
    for (int step = 0; step < 300 && !frames.contains(last); ++step) {
        harness.clock->advanceBy(std::chrono::milliseconds(10));
        vexel::testing::runEventsUntil([&] {
            const auto& shown = harness.preview.player().currentVideoFrame();
            return shown && harness.preview.player().currentTime() - shown->time < MediaTime(1, 30);
        });
    }
    harness.preview.togglePlayback();
    return frames;
}

} // namespace

TEST(ForeignMediaPreview, EachFileShowsItsFramesAtItsShapeSoughtScrubbedAndPlayed) {
    for (const Source& source : sources()) {
        SCOPED_TRACE(source.name);
        test::PreviewHarness harness;
        vexel::testing::ScopedEnvironment cache{"XDG_CACHE_HOME", harness.folder.path().string()};
        const std::filesystem::path file = harness.folder / source.name;
        vexel::testing::writeForeignMedia(file, source.media);
        const MediaAsset asset = FFmpegMediaLoader().loadAsset(file);
        harness.load(vexel::testing::projectOf({vexel::testing::trackOf(
            TrackType::video,
            {vexel::testing::clipOf(TrackType::video, 0, asset.duration, file)})}));

        ASSERT_TRUE(harness.preview.hasContent());
        EXPECT_EQ(harness.preview.videoSize(), source.shown);
        // Preview frame n (at n / 30 s) shows the file's frame painted for its
        // time, whether its picture starts a little late or its clock late.
        auto expectShows = [&](const media::PixelBuffer& frame, int n) {
            EXPECT_EQ(frame.width(), source.shown.width);
            EXPECT_EQ(frame.height(), source.shown.height);
            EXPECT_NEAR(paintedGreyLevel(frame), vexel::testing::foreignFrameLevel(n * 25 / 30),
                        2.5)
                << "preview frame " << n;
        };
        harness.preview.seek(31.0 / 30);
        ASSERT_TRUE(harness.waitForFrame(MediaTime(31, 30)));
        expectShows(harness.preview.player().currentVideoFrame()->buffer, 31);
        harness.preview.scrub(55.0 / 30);
        ASSERT_TRUE(harness.waitForFrame(MediaTime(55, 30)));
        expectShows(harness.preview.player().currentVideoFrame()->buffer, 55);

        harness.preview.seek(31.0 / 30);
        ASSERT_TRUE(harness.waitForFrame(MediaTime(31, 30)));
        const auto played = playUntil(harness, 43);
        ASSERT_TRUE(played.contains(43)) << "playing stopped at frame " << played.rbegin()->first;
        expectShows(played.at(43), 43);
    }
}

TEST(ForeignMediaPreview, InterlacedPicturesShowWholeSoughtAndPlayed) {
    for (FieldOrder order : {FieldOrder::topFieldFirst, FieldOrder::bottomFieldFirst}) {
        SCOPED_TRACE(order == FieldOrder::topFieldFirst ? "top field first" : "bottom first");
        test::PreviewHarness harness;
        vexel::testing::ScopedEnvironment cache{"XDG_CACHE_HOME", harness.folder.path().string()};
        const std::filesystem::path file = harness.folder / "camera.mp4";
        ForeignVideo video = foreignPicture("libx264", 40, 320, 240, quickX264());
        video.fields = order;
        video.paint = vexel::testing::movingEdgeFields(order);
        vexel::testing::writeForeignMedia(file, {.container = "mp4", .video = video});
        const MediaAsset asset = FFmpegMediaLoader().loadAsset(file);
        harness.load(vexel::testing::projectOf({vexel::testing::trackOf(
            TrackType::video,
            {vexel::testing::clipOf(TrackType::video, 0, asset.duration, file)})}));

        // Preview frame 31 shows the file's frame 25, frame 43 its frame 35.
        harness.preview.seek(31.0 / 30);
        ASSERT_TRUE(harness.waitForFrame(MediaTime(31, 30)));
        const media::PixelBuffer& sought = harness.preview.player().currentVideoFrame()->buffer;
        EXPECT_TRUE(vexel::testing::showsEdgeOfFrame(sought, 25));
        EXPECT_LT(vexel::testing::combing(sought, 25), 0.15) << "sought";
        const auto played = playUntil(harness, 43);
        ASSERT_TRUE(played.contains(43));
        EXPECT_TRUE(vexel::testing::showsEdgeOfFrame(played.at(43), 35));
        EXPECT_LT(vexel::testing::combing(played.at(43), 35), 0.15) << "played";
    }
}
