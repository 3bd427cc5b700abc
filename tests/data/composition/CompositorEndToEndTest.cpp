// A project exported frame by frame through the composition builder, the
// composition reader and the frame compositor, on media the test writes.

#include "data/composition/CompositionBuilder.h"
#include "data/composition/TestProjects.h"
#include "platform/image/TestPixels.h"
#include "platform/media/CompositionReader.h"
#include "platform/media/MovieWriter.h"
#include "support/ImageFileWriter.h"
#include "support/RecordingLogger.h"
#include "support/TextInk.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace vexel;
using image::test::Bgra;
using image::test::pixelAt;
using image::test::solid;
using media::MediaTime;
using media::PixelBuffer;
using vexel::testing::clipOf;
using vexel::testing::projectOf;
using vexel::testing::trackOf;

namespace {

constexpr int kWidth = 192;
constexpr int kHeight = 108;
// Memory order: blue, green, red, alpha.
const Bgra kRed{30, 30, 200, 255};
const Bgra kGreen{30, 180, 30, 255};
const Bgra kBlue{230, 40, 20, 255};
const Bgra kClear{0, 0, 0, 0};
const Bgra kLight{200, 200, 200, 255};
const Bgra kDark{100, 100, 100, 255};

void writeSolidMovie(const std::filesystem::path& path, const Bgra& colour, int frames) {
    media::MovieWriter writer(path, media::FileType::mp4);
    auto& video = writer.addVideoInput({.width = kWidth, .height = kHeight, .frameRate = 30});
    ASSERT_TRUE(writer.startWriting());
    const PixelBuffer frame = solid(kWidth, kHeight, colour);
    for (int i = 0; i < frames; ++i) {
        ASSERT_TRUE(video.append(frame, MediaTime(i, 30)));
    }
    video.markAsFinished();
    ASSERT_TRUE(writer.finishWriting());
}

bool near(const Bgra& actual, const Bgra& expected, int tolerance) {
    for (int i = 0; i < 4; ++i) {
        if (std::abs(actual[i] - expected[i]) > tolerance) {
            return false;
        }
    }
    return true;
}

// Yellow text pixels left and right of the frame's middle column.
std::pair<int, int> yellowLeftAndRight(const PixelBuffer& frame) {
    int left = 0;
    int right = 0;
    for (int row = 0; row < frame.height(); ++row) {
        for (int x = 0; x < frame.width(); ++x) {
            const Bgra p = pixelAt(frame, x, row);
            if (p[2] > 180 && p[1] > 180 && p[0] < 100) {
                (x < kWidth / 2 ? left : right) += 1;
            }
        }
    }
    return {left, right};
}

class CompositorEndToEndTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new vexel::testing::TemporaryFolder();
        writeSolidMovie(*folder / "red.mp4", kRed, 60);
        writeSolidMovie(*folder / "green.mp4", kGreen, 60);
        writeSolidMovie(*folder / "light.mp4", kLight, 60);
        writeSolidMovie(*folder / "dark.mp4", kDark, 60);
        vexel::testing::writeImageFile(*folder / "logo.png", solid(32, 32, kBlue),
                                       vexel::testing::ImageFileFormat::png);
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }

    // Red graded to grey on 0-1.5 s; green on 1.5-3 s pushed in from the
    // right over 0.6 s; a blue logo on 0.5-2.5 s fading in over 1 s; a
    // yellow title on 1-2.8 s wiped in from the left.
    static Project project() {
        Clip graded = clipOf(TrackType::video, 0, 1.5, *folder / "red.mp4");
        graded.colorAdjust = ColorAdjust{0, 1, 0};
        Clip pushed = clipOf(TrackType::video, 1.5, 1.5, *folder / "green.mp4");
        pushed.transitionIn = TransitionEffect{0.6, TransitionType::push(Direction::left)};
        Clip logo = clipOf(TrackType::image, 0.5, 2, *folder / "logo.png");
        logo.transitionIn = TransitionEffect{1, TransitionType::fade()};
        logo.overlayTransform = OverlayTransform{0.2, 0.3, 0.3};
        Clip title = clipOf(TrackType::text, 1, 1.8);
        title.assetName = "HHHH";
        title.textStyle = TextStyle{100, "yellow", "white", 0, std::nullopt, std::nullopt};
        title.textPosition = TextPosition::center();
        title.textAnimation =
            TextAnimation{TextEntranceType::wipeReveal(Direction::left), std::nullopt, std::nullopt,
                          EasingCurve::linear, EasingCurve::linear};
        return projectOf({trackOf(TrackType::video, {graded, pushed}),
                          trackOf(TrackType::image, {logo}), trackOf(TrackType::text, {title})});
    }

    // The light clip on 0-2 s dissolving over 1 s into the dark one on
    // 2-4 s, which is drawn from 1 s on.
    static Project dissolve(const std::optional<ColorAdjust>& grade, EasingCurve easing) {
        Clip light = clipOf(TrackType::video, 0, 2, *folder / "light.mp4");
        Clip dark = clipOf(TrackType::video, 2, 2, *folder / "dark.mp4");
        light.colorAdjust = grade;
        light.transitionOut = TransitionEffect{1, TransitionType::crossDissolve(), easing};
        dark.transitionIn = light.transitionOut;
        return projectOf({trackOf(TrackType::video, {light, dark})});
    }

    std::vector<PixelBuffer> readAll(int threads) {
        ExportComposition exported = builder.buildForExport(project());
        EXPECT_TRUE(exported.videoComposition);
        return readAll(exported.composition, *exported.videoComposition, threads);
    }

    static std::vector<PixelBuffer> readAll(const media::Composition& composition,
                                            const media::VideoComposition& video, int threads) {
        media::CompositionReader reader(composition, {.threads = threads});
        reader.addVideoOutput(video);
        EXPECT_TRUE(reader.startReading());
        std::vector<PixelBuffer> frames;
        while (auto frame = reader.copyNextVideoFrame()) {
            EXPECT_EQ(frame->time, MediaTime(static_cast<std::int64_t>(frames.size()), 30));
            frames.push_back(frame->buffer);
        }
        EXPECT_EQ(reader.status(), media::CompositionReader::Status::completed);
        return frames;
    }

    static vexel::testing::TemporaryFolder* folder;
    std::shared_ptr<test::RecordingLogger> logger = std::make_shared<test::RecordingLogger>();
    CompositionBuilder builder{logger};
};

vexel::testing::TemporaryFolder* CompositorEndToEndTest::folder = nullptr;

} // namespace

TEST_F(CompositorEndToEndTest, DrawsGradedClipsTransitionsAndOverlaysWhereAndWhenTheyBelong) {
    const std::vector<PixelBuffer> frames = readAll(1);
    ASSERT_EQ(frames.size(), 90u);
    auto at = [&](int frame, int x, int row) { return pixelAt(frames[frame], x, row); };
    const Bgra grey{66, 66, 66, 255};

    // The graded clip: red turned grey, until the push begins at frame 45.
    EXPECT_TRUE(near(at(12, 150, 60), grey, 8)) << ::testing::PrintToString(at(12, 150, 60));
    EXPECT_TRUE(near(at(44, 150, 60), grey, 8));
    // The push: a whole frame away at its first frame, halfway at frame 54
    // (nothing left of it, since the graded clip has ended), in place from
    // frame 63.
    EXPECT_EQ(at(45, 150, 60), kClear);
    EXPECT_TRUE(near(at(54, 150, 60), kGreen, 8));
    EXPECT_EQ(at(54, 20, 60), kClear);
    EXPECT_TRUE(near(at(63, 20, 60), kGreen, 8));
    EXPECT_TRUE(near(at(63, 150, 60), kGreen, 8));

    // The logo, centred on (0.2, 0.3) of the frame: not yet at frame 12,
    // half faded in over the grey at frame 30, whole at frame 50, gone at 78.
    EXPECT_TRUE(near(at(12, 38, 32), grey, 8));
    EXPECT_TRUE(near(at(30, 38, 32), {148, 53, 43, 255}, 10))
        << ::testing::PrintToString(at(30, 38, 32));
    EXPECT_TRUE(near(at(50, 38, 32), kBlue, 4));
    EXPECT_TRUE(near(at(78, 38, 32), kGreen, 8));

    // The title: none before 1 s, its left part only while the wipe is under
    // way, all of it afterwards, none after 2.8 s.
    EXPECT_EQ(yellowLeftAndRight(frames[29]), std::make_pair(0, 0));
    const auto [wipingLeft, wipingRight] = yellowLeftAndRight(frames[34]);
    EXPECT_GT(wipingLeft, 10);
    EXPECT_EQ(wipingRight, 0);
    const auto [left, right] = yellowLeftAndRight(frames[60]);
    EXPECT_GT(left, wipingLeft);
    EXPECT_GT(right, 20);
    EXPECT_EQ(yellowLeftAndRight(frames[85]), std::make_pair(0, 0));
    EXPECT_TRUE(logger->entries().empty());
}

TEST_F(CompositorEndToEndTest, ComposesTheSameFramesOnEightThreadsAsOnOne) {
    const std::vector<PixelBuffer> alone = readAll(1);
    const std::vector<PixelBuffer> together = readAll(8);
    ASSERT_EQ(alone.size(), together.size());
    for (std::size_t i = 0; i < alone.size(); ++i) {
        EXPECT_TRUE(test::samePixels(alone[i], together[i])) << "frame " << i;
    }
}

TEST_F(CompositorEndToEndTest, CrossDissolvesMixBothClipsLinearlyInEveryForm) {
    // A neutral grade takes the export to the frame compositor without
    // changing a pixel; an eased dissolve does the same for the preview.
    const ColorAdjust neutral{0, 1, 1};
    struct Form {
        const char* name;
        bool preview;
        std::optional<ColorAdjust> grade;
        EasingCurve easing;
        bool compositor;
    };
    const Form forms[] = {
        {"export, layers", false, std::nullopt, EasingCurve::linear, false},
        {"export, compositor", false, neutral, EasingCurve::linear, true},
        {"preview, layers", true, std::nullopt, EasingCurve::linear, false},
        {"preview, compositor", true, std::nullopt, EasingCurve::easeIn, true},
    };
    for (const Form& form : forms) {
        SCOPED_TRACE(form.name);
        const Project project = dissolve(form.grade, form.easing);
        std::optional<media::VideoComposition> video;
        media::Composition composition;
        if (form.preview) {
            PreviewComposition preview = builder.build(project);
            composition = preview.composition;
            video = preview.videoComposition;
        } else {
            ExportComposition exported = builder.buildForExport(project);
            composition = exported.composition;
            video = exported.videoComposition;
        }
        ASSERT_TRUE(video);
        EXPECT_EQ(static_cast<bool>(video->customCompositor), form.compositor);
        const std::vector<PixelBuffer> frames = readAll(composition, *video, 2);
        ASSERT_EQ(frames.size(), 90u);

        // Levels as the encoder kept them, before and after the dissolve.
        const int light = pixelAt(frames[10], 90, 50)[1];
        const int dark = pixelAt(frames[70], 90, 50)[1];
        EXPECT_NEAR(light, 200, 2);
        EXPECT_NEAR(dark, 100, 2);
        EXPECT_NEAR(pixelAt(frames[45], 90, 50)[1], 150, 2);
        // Every frame of the window, over the whole picture, within 1 % of
        // the linear mix.
        for (int n = 30; n < 60; ++n) {
            const double p = (n - 30) / 30.0;
            const double mix = (1 - p) * light + p * dark;
            double error = 0;
            for (int row = 0; row < kHeight; ++row) {
                for (int x = 0; x < kWidth; ++x) {
                    const Bgra pixel = pixelAt(frames[n], x, row);
                    error += std::abs(pixel[0] - mix) + std::abs(pixel[1] - mix) +
                             std::abs(pixel[2] - mix);
                }
            }
            EXPECT_LT(error / (3.0 * kWidth * kHeight), 2.55) << "frame " << n;
        }
    }
}
