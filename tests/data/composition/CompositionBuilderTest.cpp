#include "data/composition/CompositionBuilder.h"
#include "data/composition/ColorAdjustInstruction.h"
#include "data/composition/CompositionBuilderError.h"
#include "data/composition/TestProjects.h"
#include "foundation/CancellationError.h"
#include "support/Fifo.h"
#include "support/RecordingLogger.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace vexel;
using media::MediaTime;
using media::MediaTimeRange;
using media::MediaType;
using vexel::testing::clipOf;
using vexel::testing::projectOf;
using vexel::testing::ScopedEnvironment;
using vexel::testing::TemporaryFolder;
using vexel::testing::trackOf;

namespace {

MediaTime s(double seconds) {
    return MediaTime::fromSeconds(seconds);
}

// Files written with the project's own writer when a test first asks for
// them (each test runs in a process of its own).
class TestMedia {
public:
    TemporaryFolder folder;
    ScopedEnvironment cacheHome{"XDG_CACHE_HOME", folder.path().string()};

    // 10 s of picture and sound.
    std::filesystem::path movie() {
        return made("movie.mp4", [](const auto& path) {
            vexel::testing::writeTestMovie(
                path, {.width = 64, .height = 48, .frameRate = 5, .frameCount = 50});
        });
    }
    // 10 s of sound only.
    std::filesystem::path tone() {
        return made("tone.m4a", [](const auto& path) {
            vexel::testing::writeTestMovie(path,
                                           {.frameRate = 10, .frameCount = 100, .hasVideo = false});
        });
    }
    // 6 s of picture with 1 s of sound.
    std::filesystem::path shortSound() {
        return made("short-sound.mp4", [](const auto& path) {
            vexel::testing::writeTestMovie(path, {.width = 64,
                                                  .height = 48,
                                                  .frameRate = 5,
                                                  .frameCount = 30,
                                                  .soundFrameCount = 5});
        });
    }

private:
    template <typename Write>
    std::filesystem::path made(const std::string& name, const Write& write) {
        std::filesystem::path path = folder / name;
        if (!std::filesystem::exists(path)) {
            write(path);
        }
        return path;
    }
};

// Where the first media of a composition track starts.
MediaTime mediaStart(media::MutableComposition& composition, std::int32_t trackID) {
    for (const auto& segment : composition.track(trackID)->segments()) {
        if (!segment.isEmpty()) {
            return segment.target.start;
        }
    }
    ADD_FAILURE() << "track " << trackID << " holds no media";
    return {};
}

std::shared_ptr<const ColorAdjustInstruction> instructionOf(const media::VideoComposition& video) {
    EXPECT_TRUE(video.customCompositor);
    EXPECT_EQ(video.instructions.size(), 1u);
    auto instruction = std::dynamic_pointer_cast<const ColorAdjustInstruction>(
        video.instructions.empty() ? nullptr : video.instructions[0]);
    if (!instruction) {
        throw std::runtime_error("not drawn by the frame compositor");
    }
    return instruction;
}

class CompositionBuilderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { media = new TestMedia(); }
    static void TearDownTestSuite() {
        delete media;
        media = nullptr;
    }

    static TestMedia* media;
    std::shared_ptr<test::RecordingLogger> logger = std::make_shared<test::RecordingLogger>();
    CompositionBuilder builder{logger};

    CompositionBuilderError::Kind failureOf(const Project& project) {
        try {
            builder.buildComposition(project);
        } catch (const CompositionBuilderError& error) {
            return error.kind();
        }
        ADD_FAILURE() << "no error";
        return {};
    }
};

TestMedia* CompositionBuilderTest::media = nullptr;

} // namespace

TEST_F(CompositionBuilderTest, OnlyCrossDissolvesMoveLaterClipsOfTheirTrackEarlier) {
    struct Case {
        TransitionType out;
        std::vector<double> compositionStarts;
    };
    const Case cases[] = {{TransitionType::crossDissolve(), {0, 4, 9}},
                          {TransitionType::fade(), {0, 5, 10}},
                          {TransitionType::push(Direction::left), {0, 5, 10}}};
    for (const Case& c : cases) {
        Clip a = clipOf(TrackType::video, 0, 5, media->movie());
        a.transitionOut = TransitionEffect{1, c.out, EasingCurve::linear};
        Clip b = clipOf(TrackType::video, 5, 5, media->movie());
        Clip later = clipOf(TrackType::video, 10, 5, media->movie());
        // Stored out of order: placement goes by start time. The offset
        // starts again on the next track.
        Clip other = clipOf(TrackType::video, 5, 2, media->movie());
        auto result = builder.buildComposition(projectOf(
            {trackOf(TrackType::video, {later, a, b}), trackOf(TrackType::video, {other})}));

        ASSERT_EQ(result.videoEntries.size(), 4u);
        ASSERT_EQ(result.audioEntries.size(), 4u);
        for (std::size_t i = 0; i < 3; ++i) {
            const VideoTrackEntry& entry = result.videoEntries[i];
            EXPECT_EQ(entry.clipStartTime, s(5.0 * static_cast<double>(i)));
            EXPECT_EQ(entry.clipEndTime, s(5.0 * static_cast<double>(i) + 5));
            EXPECT_EQ(entry.compositionStartTime, s(c.compositionStarts[i]));
            EXPECT_EQ(entry.compositionEndTime, s(c.compositionStarts[i] + 5));
            EXPECT_EQ(mediaStart(*result.composition, entry.trackID), s(c.compositionStarts[i]));
            // The clip's own sound goes in at the same place.
            EXPECT_EQ(mediaStart(*result.composition, result.audioEntries[i].trackID),
                      s(c.compositionStarts[i]));
        }
        EXPECT_EQ(result.videoEntries[3].compositionStartTime, s(5));
        EXPECT_EQ(result.videoEntries[0].naturalSize, (media::Size{64, 48}));
        EXPECT_EQ(result.contentDuration, s(c.compositionStarts[2] + 5));
    }
}

TEST_F(CompositionBuilderTest, ClipsArePlacedAtTheirSpeedAndNeverBeforeZero) {
    Clip fast = clipOf(TrackType::video, 0, 4, media->movie());
    fast.rate = 2.0;
    fast.sourceOffset = 1;
    fast.volume = 0.5;
    fast.opacity = 0.25;
    fast.colorAdjust = ColorAdjust{0.1, 1, 1};
    fast.transitionOut = TransitionEffect{2, TransitionType::crossDissolve(), EasingCurve::linear};
    // 3 s - 2 s of dissolve: still at 1 s. Then 1.5 s - 4 s: at 0, not before.
    Clip next = clipOf(TrackType::video, 3, 1, media->movie());
    next.transitionOut = fast.transitionOut;
    Clip early = clipOf(TrackType::video, 3.5, 1, media->movie());
    // Shorter than a composition tick: nothing to place, and no offset.
    Clip invisible = clipOf(TrackType::video, 3.6, 0.0005, media->movie());
    invisible.transitionOut = fast.transitionOut;
    auto result = builder.buildComposition(
        projectOf({trackOf(TrackType::video, {fast, next, early, invisible})}));

    ASSERT_EQ(result.videoEntries.size(), 3u);
    const VideoTrackEntry& entry = result.videoEntries[0];
    EXPECT_EQ(entry.opacity, 0.25f);
    EXPECT_EQ(entry.colorAdjust, fast.colorAdjust);
    EXPECT_EQ(entry.transitionOut, fast.transitionOut);
    for (std::int32_t trackID : {entry.trackID, result.audioEntries[0].trackID}) {
        const auto& segments = result.composition->track(trackID)->segments();
        ASSERT_EQ(segments.size(), 1u);
        EXPECT_EQ(segments[0].source, (MediaTimeRange{s(1), s(8)}));
        EXPECT_EQ(segments[0].target, (MediaTimeRange{s(0), s(4)}));
    }
    EXPECT_EQ(result.audioEntries[0].volume, 0.5f);
    EXPECT_EQ(result.videoEntries[1].compositionStartTime, s(1));
    EXPECT_EQ(result.videoEntries[2].compositionStartTime, s(0));
    EXPECT_EQ(result.videoEntries[2].clipStartTime, s(3.5));
}

TEST_F(CompositionBuilderTest, OverlaysBeyondTheVideoRideOnABlackCarrier) {
    auto text = [](double start, double duration) {
        return clipOf(TrackType::text, start, duration);
    };
    auto video = [&](double duration) {
        return clipOf(TrackType::video, 0, duration, media->movie());
    };

    // Only text: one carrier from zero as long as the text, and nothing to
    // mix.
    ExportComposition onlyText =
        builder.buildForExport(projectOf({trackOf(TrackType::text, {text(0, 6)})}));
    ASSERT_TRUE(onlyText.videoComposition);
    EXPECT_EQ(onlyText.videoComposition->renderSize, (media::Size{1920, 1080}));
    auto drawn = instructionOf(*onlyText.videoComposition);
    ASSERT_EQ(drawn->entries().size(), 1u);
    const ColorAdjustInstruction::Entry& carrier = drawn->entries()[0];
    EXPECT_TRUE(carrier.transform.isIdentity());
    EXPECT_EQ(carrier.fadeTiming, (FadeTimingInfo{1.0f, s(0), s(6), {}, {}, {}, {}}));
    EXPECT_FALSE(carrier.colorAdjust || carrier.cropRect || carrier.transitionType ||
                 carrier.transitionOutType || carrier.filter);
    EXPECT_EQ(drawn->timeRange(), (MediaTimeRange{s(0), MediaTime(3600, 600)}));
    ASSERT_EQ(drawn->textOverlays().size(), 1u);
    EXPECT_EQ(drawn->textOverlays()[0].text, "Hello");
    EXPECT_EQ(onlyText.composition.duration(), s(6));
    EXPECT_FALSE(onlyText.audioMix);

    // Text ending 5 ms after the video: within the slack, no carrier.
    auto slightlyLonger = builder.buildComposition(projectOf(
        {trackOf(TrackType::video, {video(10)}), trackOf(TrackType::text, {text(2, 8.005)})}));
    EXPECT_EQ(slightlyLonger.videoEntries.size(), 1u);
    EXPECT_EQ(slightlyLonger.contentDuration, MediaTime(6003, 600));

    // Text ending 2 s after the video: a 2 s carrier from the video's end,
    // last among the entries.
    auto longer = builder.buildComposition(projectOf(
        {trackOf(TrackType::text, {text(0, 12)}), trackOf(TrackType::video, {video(10)})}));
    ASSERT_EQ(longer.videoEntries.size(), 2u);
    EXPECT_EQ(longer.videoEntries[1].compositionStartTime, s(10));
    EXPECT_EQ(longer.videoEntries[1].compositionEndTime, s(12));
    EXPECT_EQ(longer.videoEntries[1].naturalSize, (media::Size{1920, 1080}));
    EXPECT_EQ(longer.contentDuration, s(12));
    EXPECT_EQ(longer.composition->duration(), s(12));

    // Images count whether or not their files exist; audio longer than the
    // images sets the carrier's length.
    auto images = builder.buildComposition(projectOf(
        {trackOf(TrackType::image, {clipOf(TrackType::image, 0, 3, media->folder / "a.png"),
                                    clipOf(TrackType::image, 2, 5, media->folder / "none.png")}),
         trackOf(TrackType::audio, {clipOf(TrackType::audio, 0, 9, media->tone())})}));
    ASSERT_EQ(images.videoEntries.size(), 1u);
    EXPECT_EQ(images.videoEntries[0].compositionEndTime, s(9));
    EXPECT_EQ(images.contentDuration, s(9));

    // Sound only: no carrier, the composition's length.
    auto sound = builder.buildComposition(
        projectOf({trackOf(TrackType::audio, {clipOf(TrackType::audio, 1, 2.5, media->tone())})}));
    EXPECT_TRUE(sound.videoEntries.empty());
    EXPECT_EQ(sound.contentDuration, s(3.5));
}

TEST_F(CompositionBuilderTest, UnplayableProjectsAndMediaThatCannotBePlacedFailTheBuild) {
    EXPECT_EQ(failureOf(projectOf({})), CompositionBuilderError::Kind::noPlayableClips);
    // Files that cannot be opened or lack a track of their kind are left out.
    EXPECT_EQ(failureOf(projectOf(
                  {trackOf(TrackType::video, {clipOf(TrackType::video, 0, 2, media->tone()),
                                              clipOf(TrackType::video, 2, 2, media->folder / "x")}),
                   trackOf(TrackType::audio, {clipOf(TrackType::audio, 0, 2)})})),
              CompositionBuilderError::Kind::noPlayableClips);

    Clip pastTheEnd = clipOf(TrackType::video, 0, 2, media->movie());
    pastTheEnd.sourceOffset = 12;
    try {
        builder.buildComposition(projectOf({trackOf(TrackType::video, {pastTheEnd})}));
        ADD_FAILURE() << "no error";
    } catch (const CompositionBuilderError& error) {
        EXPECT_EQ(error.kind(), CompositionBuilderError::Kind::cannotInsertTimeRange);
        EXPECT_EQ(error.assetName(), "movie.mp4");
        EXPECT_STREQ(error.what(), "cannotInsertTimeRange(\"movie.mp4\")");
    }
    EXPECT_TRUE(logger->messages().empty());

    std::stop_source stop;
    stop.request_stop();
    EXPECT_THROW(
        builder.build(projectOf({trackOf(TrackType::text, {clipOf(TrackType::text, 0, 1)})}),
                      stop.get_token()),
        CancellationError);
}

TEST_F(CompositionBuilderTest, MediaThatIsNotARegularFileIsLeftOutWithoutBeingOpened) {
    // A pipe in a project folder once held a preview build (and the process
    // at quit) for ever; a device would be read without end.
    TemporaryFolder folder;
    vexel::test::Fifo picture(folder / "pipe.mp4");
    vexel::test::Fifo sound(folder / "pipe.m4a");
    std::filesystem::create_symlink("/dev/zero", folder / "zero.mov");
    const Project project =
        projectOf({trackOf(TrackType::video, {clipOf(TrackType::video, 0, 2, media->movie()),
                                              clipOf(TrackType::video, 2, 2, picture.path()),
                                              clipOf(TrackType::video, 4, 2, folder / "zero.mov")}),
                   trackOf(TrackType::audio, {clipOf(TrackType::audio, 0, 2, sound.path())})});
    const auto result = builder.buildComposition(project);
    EXPECT_EQ(result.videoEntries.size(), 1u);
    EXPECT_EQ(result.audioEntries.size(), 1u); // the movie's own sound
    EXPECT_FALSE(picture.openedToRead());
    EXPECT_FALSE(sound.openedToRead());
}

TEST_F(CompositionBuilderTest, SoundThatCannotBePlacedIsLoggedOnceAndLeavesTheClipSilent) {
    // The file's sound ends at 1 s: from 2 s on there is none to insert.
    Clip silentPart = clipOf(TrackType::video, 0, 3, media->shortSound());
    silentPart.sourceOffset = 2;
    Clip soundPart = clipOf(TrackType::video, 3, 3, media->shortSound());
    auto result =
        builder.buildComposition(projectOf({trackOf(TrackType::video, {silentPart, soundPart})}));

    ASSERT_EQ(result.videoEntries.size(), 2u);
    ASSERT_EQ(result.audioEntries.size(), 1u);
    EXPECT_EQ(mediaStart(*result.composition, result.audioEntries[0].trackID), s(3));
    EXPECT_EQ(result.composition->tracks().size(), 3u);
    EXPECT_EQ(logger->messages(),
              std::vector<std::string>{
                  "[Builder] Failed to insert embedded audio (clipId=" + silentPart.id.string() +
                  "): cannotInsertTimeRange(\"short-sound.mp4\")"});
    EXPECT_EQ(logger->entries()[0].first, LogLevel::error);
}

TEST_F(CompositionBuilderTest, TheFormsCopyTheCompositionAndMixVolumesWithFades) {
    Clip faded = clipOf(TrackType::audio, 3, 5, media->tone());
    faded.volume = 0.5;
    faded.fadeRange = TimeRange{1, 2};
    Clip steady = clipOf(TrackType::audio, 0, 2, media->tone());
    steady.volume = 0.3;
    Clip stepped = clipOf(TrackType::audio, 3, 2, media->tone());
    stepped.volume = 0.2;
    stepped.fadeRange = TimeRange{1, 0};
    Clip picture = clipOf(TrackType::video, 0, 2, media->movie());
    Clip title = clipOf(TrackType::text, 0, 1);
    Clip logo = clipOf(TrackType::image, 0, 1, media->folder / "logo.png");
    Project project = projectOf(
        {trackOf(TrackType::video, {picture}), trackOf(TrackType::text, {title}),
         trackOf(TrackType::image, {logo}), trackOf(TrackType::audio, {faded, steady, stepped})});

    ExportComposition exported = builder.buildForExport(project);
    ASSERT_TRUE(exported.audioMix);
    // The video's own sound first, then the audio track in start order.
    ASSERT_EQ(exported.audioMix->inputParameters.size(), 4u);
    const auto& fade = exported.audioMix->inputParameters[2];
    const std::pair<double, float> volumes[] = {{0, 1}, {4, 1}, {5, 0.75f}, {6, 0.5f}, {7.5, 0.5f}};
    for (const auto& [time, volume] : volumes) {
        EXPECT_NEAR(fade.volume(s(time)), volume, 1e-6) << time;
    }
    const auto& constant = exported.audioMix->inputParameters[1];
    EXPECT_EQ(constant.volumeTimeline().constantValue(), 0.3f);
    const auto& step = exported.audioMix->inputParameters[3];
    EXPECT_EQ(step.volume(s(3.99)), 1.0f);
    EXPECT_EQ(step.volume(s(4)), 0.2f);

    ASSERT_TRUE(exported.videoComposition);
    auto drawn = instructionOf(*exported.videoComposition);
    EXPECT_EQ(drawn->entries().size(), 1u);
    EXPECT_EQ(drawn->timeRange(), (MediaTimeRange{s(0), s(8)}));
    ASSERT_EQ(drawn->textOverlays().size(), 1u);
    EXPECT_EQ(drawn->textOverlays()[0].text, title.assetName);
    ASSERT_EQ(drawn->imageOverlays().size(), 1u);
    EXPECT_EQ(drawn->imageOverlays()[0].imageURL, logo.assetURL);
    EXPECT_EQ(exported.composition.tracksWithMediaType(MediaType::audio).size(), 4u);

    // The preview draws its overlays over the player: its plain clip needs
    // no compositor.
    PreviewComposition preview = builder.build(project);
    ASSERT_TRUE(preview.videoComposition);
    EXPECT_FALSE(preview.videoComposition->customCompositor);
    EXPECT_EQ(preview.audioMix, exported.audioMix);
    EXPECT_EQ(preview.composition.duration(), s(8));

    // Sound only: no video composition at all.
    PreviewComposition sound = builder.build(projectOf({trackOf(TrackType::audio, {steady})}));
    EXPECT_FALSE(sound.videoComposition);
    EXPECT_TRUE(sound.audioMix);
}
