// Files as phones, cameras, screen recorders and the web write them, made by
// FFmpeg's own muxers and encoders: each is added through the real loader,
// placed by the real composition builder, exported through the composition
// reader and the movie writer, and the movie read back.

#include "data/composition/CompositionBuilder.h"
#include "data/composition/TestProjects.h"
#include "data/export/FFmpegExportService.h"
#include "data/media/FFmpegMediaLoader.h"
#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"
#include "support/ForeignMedia.h"
#include "support/media/FieldPictures.h"
#include "support/media/ForeignClips.h"
#include "support/media/FrameAt.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

using namespace vexel;
using media::MediaTime;
using media::MediaType;
using vexel::testing::ForeignAudio;
using vexel::testing::ForeignMedia;
using vexel::testing::foreignPicture;
using vexel::testing::ForeignVideo;
using vexel::testing::paintedGreyLevel;
using vexel::testing::quickX264;

namespace {

// The picture of every source is painted at 25 frames per second.
constexpr int kSourceRate = 25;
// The writers' tone: a sine of 0.4 of full scale.
constexpr double kToneRms = 0.4 / std::numbers::sqrt2;

struct Source {
    std::string name;
    ForeignMedia media;
    TrackType type;
    // What the file holds, and how closely its length is known beforehand:
    // audio encoders end on whole frames of their own.
    double length;
    double tolerance;
    // The picture as it is meant to be seen; none for sound only.
    std::optional<media::Size> shown{};
    // Where on the file's timeline the tone and the first picture begin.
    double start = 0;
};

vexel::testing::Options encoderOptionsFor(const std::string& encoder) {
    return encoder == "libx264" ? quickX264() : vexel::testing::Options{};
}

std::vector<Source> sources() {
    ForeignVideo pal = foreignPicture("libx264", 30, 720, 576, quickX264());
    pal.aspectNumerator = 64;
    pal.aspectDenominator = 45;
    ForeignVideo hdv = foreignPicture("libx264", 30, 1440, 1080, quickX264());
    hdv.aspectNumerator = 4;
    hdv.aspectDenominator = 3;
    return {
        {"phone.webm",
         {.container = "webm",
          .video = foreignPicture("libvpx-vp9", 100, 320, 240,
                                  {{"deadline", "realtime"}, {"cpu-used", "8"}}),
          .audio = ForeignAudio{.encoder = "libopus", .seconds = 4.0}},
         TrackType::video,
         4.0,
         0.02,
         media::Size{320, 240}},
        {"screen.mkv",
         {.container = "matroska",
          .video = foreignPicture("libaom-av1", 30, 160, 120,
                                  {{"cpu-used", "8"}, {"usage", "realtime"}}),
          .audio = ForeignAudio{.encoder = "libopus", .seconds = 1.2}},
         TrackType::video,
         1.2,
         0.02,
         media::Size{160, 120}},
        {"camera.mkv",
         {.container = "matroska",
          .video = foreignPicture("libx264", 100, 320, 240, quickX264()),
          .audio = ForeignAudio{.seconds = 4.0}},
         // AAC keeps its encoder's priming in Matroska, which has no field
         // for it: 1024 samples before the tone and the first picture.
         TrackType::video,
         4.0,
         0.03,
         media::Size{320, 240},
         1024.0 / 48000},
        {"silent.mkv",
         {.container = "matroska", .video = foreignPicture("libx264", 50, 320, 240, quickX264())},
         TrackType::video,
         2.0,
         0.001,
         media::Size{320, 240}},
        // A camera's transport stream, whose clock stood at 1.48 s.
        {"camera.mts",
         {.container = "mpegts",
          .video = foreignPicture("libx264", 125, 320, 240, quickX264()),
          .audio = ForeignAudio{.encoder = "ac3", .seconds = 5.0},
          .startSeconds = 1.48},
         TrackType::video,
         5.0,
         0.033,
         media::Size{320, 240}},
        {"song.mp3",
         {.container = "mp3",
          .audio = ForeignAudio{.encoder = "libmp3lame", .sampleRate = 44100, .seconds = 6.0}},
         TrackType::audio,
         6.0,
         0.0005},
        {"pal.mp4",
         {.container = "mp4", .video = pal},
         TrackType::video,
         1.2,
         0.001,
         media::Size{1024, 576}},
        {"hdv.mts",
         {.container = "mpegts", .video = hdv},
         TrackType::video,
         1.2,
         0.001,
         media::Size{1920, 1080}},
    };
}

// The root mean square of the movie's sound over [start, start + length) s,
// as a share of full scale.
double soundLevel(const std::filesystem::path& movie, double start, double length) {
    const media::Asset asset = media::Asset::load(movie);
    media::AssetReader reader(
        asset, *asset.firstTrack(MediaType::audio),
        {.timeRange = media::MediaTimeRange{MediaTime::fromSeconds(start, 44100),
                                            MediaTime::fromSeconds(length, 44100)}});
    EXPECT_TRUE(reader.startReading());
    double sum = 0;
    std::size_t count = 0;
    while (std::optional<media::AudioSamples> run = reader.copyNextAudioSamples()) {
        for (std::int16_t sample : run->samples) {
            sum += double(sample) * sample;
        }
        count += run->samples.size();
    }
    return count ? std::sqrt(sum / double(count)) / 32768 : 0;
}

} // namespace

TEST(ForeignMediaExport, EachFileBecomesAClipOfItsLengthAndShapeAndExportsInStep) {
    vexel::testing::TemporaryFolder folder;
    vexel::testing::ScopedEnvironment cache{"XDG_CACHE_HOME", folder.path().string()};
    auto logger = std::make_shared<NullLogger>();
    FFmpegExportService exporter(CompositionBuilder(logger), logger, std::chrono::system_clock::now,
                                 {.preset = "ultrafast", .quality = std::nullopt});

    for (const Source& source : sources()) {
        SCOPED_TRACE(source.name);
        const std::filesystem::path file = folder / source.name;
        vexel::testing::writeForeignMedia(file, source.media);

        const MediaAsset asset = FFmpegMediaLoader().loadAsset(file);
        EXPECT_EQ(asset.trackType, source.type);
        EXPECT_NEAR(asset.duration, source.length, source.tolerance);

        const Project project = vexel::testing::projectOf({vexel::testing::trackOf(
            source.type, {vexel::testing::clipOf(source.type, 0, asset.duration, file)})});
        const std::filesystem::path movie =
            exporter.exportProject(project, ExportFormat::mp4, {}, {});

        const media::Asset exported = media::Asset::load(movie);
        // The video ends on a whole frame of the export's 30 a second, the
        // sound on a whole AAC frame.
        EXPECT_NEAR(exported.duration.seconds(), asset.duration, 1.0 / 30 + 0.025);
        const std::optional<media::AssetTrack> video = exported.firstTrack(MediaType::video);
        ASSERT_EQ(video.has_value(), source.shown.has_value());
        if (video) {
            EXPECT_EQ(video->naturalSize, *source.shown);
            EXPECT_EQ(video->pixelAspectNumerator, video->pixelAspectDenominator);
            // The clip shows the file's first frame at its start and, 31
            // frames of the export later, the frame painted for that time.
            EXPECT_NEAR(paintedGreyLevel(vexel::testing::frameAt(movie, 0)),
                        vexel::testing::foreignFrameLevel(0), 2.5);
            EXPECT_NEAR(paintedGreyLevel(vexel::testing::frameAt(movie, 31.0 / 30)),
                        vexel::testing::foreignFrameLevel(31 * kSourceRate / 30), 2.5);
        }
        if (source.media.audio) {
            // The sound begins with the clip, not after the encoder's delay
            // or the camera's start, and lasts to its end.
            EXPECT_GT(soundLevel(movie, source.start + 0.002, 0.03), 0.7 * kToneRms);
            EXPECT_GT(soundLevel(movie, asset.duration - 0.25, 0.2), 0.7 * kToneRms);
        }
    }
}

TEST(ForeignMediaExport, InterlacedPicturesExportWholeAndProgressiveOnesKeepEveryLine) {
    using vexel::testing::FieldOrder;
    vexel::testing::TemporaryFolder folder;
    vexel::testing::ScopedEnvironment cache{"XDG_CACHE_HOME", folder.path().string()};
    auto logger = std::make_shared<NullLogger>();
    // Lossless, so that what the export holds is what was composed.
    FFmpegExportService exporter(CompositionBuilder(logger), logger, std::chrono::system_clock::now,
                                 {.preset = "ultrafast", .quality = 0});
    auto fields = [](std::string encoder, FieldOrder order) {
        vexel::testing::Options options = encoderOptionsFor(encoder);
        ForeignVideo video = foreignPicture(std::move(encoder), 40, 320, 240, std::move(options));
        video.fields = order;
        video.paint = vexel::testing::movingEdgeFields(order);
        return video;
    };
    struct Case {
        std::string name;
        ForeignMedia media;
    };
    ForeignVideo stripes =
        foreignPicture("libx264", 40, 320, 240, {{"preset", "ultrafast"}, {"qp", "0"}});
    stripes.paint = vexel::testing::stripesChangingEveryFrame;
    const std::vector<Case> cases{
        {"camera.mp4", {.container = "mp4", .video = fields("libx264", FieldOrder::topFieldFirst)}},
        {"camera.mov",
         {.container = "mov", .video = fields("mpeg2video", FieldOrder::topFieldFirst)}},
        {"broadcast.mkv",
         {.container = "matroska", .video = fields("libx264", FieldOrder::bottomFieldFirst)}},
        {"stripes.mp4", {.container = "mp4", .video = stripes}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path file = folder / c.name;
        vexel::testing::writeForeignMedia(file, c.media);
        const MediaAsset asset = FFmpegMediaLoader().loadAsset(file);
        const Project project = vexel::testing::projectOf({vexel::testing::trackOf(
            TrackType::video,
            {vexel::testing::clipOf(TrackType::video, 0, asset.duration, file)})});
        const std::filesystem::path movie =
            exporter.exportProject(project, ExportFormat::mp4, {}, {});

        // 31 frames of the export in: the source's frame 25.
        const media::PixelBuffer frame = vexel::testing::frameAt(movie, 31.0 / 30);
        if (c.media.video->fields != FieldOrder::progressive) {
            EXPECT_TRUE(vexel::testing::showsEdgeOfFrame(frame, 25));
            EXPECT_LT(vexel::testing::combing(frame, 25), 0.15);
        } else {
            // Frame 25's stripes, every line of them.
            EXPECT_GT(vexel::testing::lineToLineDifference(frame, 0, frame.width()), 0.9 * 255);
        }
    }
}
