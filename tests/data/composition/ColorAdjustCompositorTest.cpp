#include "data/composition/ColorAdjustCompositor.h"

#include "platform/image/TestPixels.h"
#include "platform/media/LayerVideoCompositionInstruction.h"
#include "support/ImageFileWriter.h"
#include "support/RecordingLogger.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vexel;
using image::test::Bgra;
using image::test::pixelAt;
using image::test::solid;
using media::MediaTime;
using media::MediaTimeRange;
using media::PixelBuffer;
using media::VideoCompositionError;
using media::VideoCompositionRequest;
using Entry = ColorAdjustInstruction::Entry;

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 20;
const Bgra kRed{0, 0, 255, 255};
const Bgra kBlue{255, 0, 0, 255};
const Bgra kClear{0, 0, 0, 0};

MediaTime s(double seconds) {
    return MediaTime::fromSeconds(seconds);
}

FadeTimingInfo onScreen(double start, double end, float opacity = 1) {
    return FadeTimingInfo{opacity, s(start), s(end), {}, {}, {}, {}};
}

Entry layer(int trackID, FadeTimingInfo timing) {
    Entry entry;
    entry.trackID = trackID;
    entry.fadeTiming = timing;
    return entry;
}

// Output buffers that hold stale pixels, as reused ones do.
VideoCompositionRequest::Allocator staleBuffers() {
    return [](bool zeroFilled) -> std::optional<PixelBuffer> {
        PixelBuffer buffer = PixelBuffer::create(kWidth, kHeight);
        if (!zeroFilled) {
            std::memset(buffer.data(), 0x5A, buffer.byteCount());
        }
        return buffer;
    };
}

struct Rendered {
    std::optional<PixelBuffer> frame;
    std::optional<VideoCompositionError> error;
};

Rendered render(ColorAdjustCompositor& compositor,
                std::shared_ptr<const media::VideoCompositionInstruction> instruction,
                const MediaTime& time, std::map<int, PixelBuffer> sources = {},
                VideoCompositionRequest::Allocator allocator = staleBuffers()) {
    VideoCompositionRequest request(std::move(instruction), time, std::move(sources),
                                    std::move(allocator));
    compositor.startRequest(request);
    EXPECT_TRUE(request.isFinished());
    Rendered rendered;
    if (const auto* frame = std::get_if<PixelBuffer>(&request.result())) {
        rendered.frame = *frame;
    }
    if (const auto* error = std::get_if<VideoCompositionError>(&request.result())) {
        rendered.error = *error;
    }
    return rendered;
}

bool near(const Bgra& actual, const Bgra& expected, int tolerance = 1) {
    for (int i = 0; i < 4; ++i) {
        if (std::abs(actual[i] - expected[i]) > tolerance) {
            return false;
        }
    }
    return true;
}

bool allClear(const PixelBuffer& frame) {
    for (int row = 0; row < frame.height(); ++row) {
        for (int x = 0; x < frame.width(); ++x) {
            if (pixelAt(frame, x, row) != kClear) {
                return false;
            }
        }
    }
    return true;
}

class ColorAdjustCompositorTest : public ::testing::Test {
protected:
    std::shared_ptr<test::RecordingLogger> logger = std::make_shared<test::RecordingLogger>();
    ColorAdjustCompositor compositor{logger};
};

} // namespace

TEST_F(ColorAdjustCompositorTest, DrawsTheActiveLayersBottomToTopOverTransparency) {
    // Track 1 red from 0 to 2 s, track 2 blue at half opacity from 1 s, and
    // track 3, which has no frame, on top of both.
    auto instruction = std::make_shared<ColorAdjustInstruction>(
        std::vector<Entry>{layer(1, onScreen(0, 2)), layer(2, onScreen(1, 3, 0.5f)),
                           layer(3, onScreen(0, 3))},
        MediaTimeRange{s(0), s(3)}, media::Size{kWidth, kHeight});
    const std::map<int, PixelBuffer> sources{{1, solid(kWidth, kHeight, kRed)},
                                             {2, solid(kWidth, kHeight, kBlue)}};

    Rendered alone = render(compositor, instruction, s(0.5), sources);
    ASSERT_TRUE(alone.frame);
    EXPECT_EQ(pixelAt(*alone.frame, 0, 0), kRed);
    EXPECT_EQ(pixelAt(*alone.frame, kWidth - 1, kHeight - 1), kRed);

    Rendered both = render(compositor, instruction, s(1.5), sources);
    ASSERT_TRUE(both.frame);
    EXPECT_TRUE(near(pixelAt(*both.frame, 10, 10), {128, 0, 128, 255}))
        << ::testing::PrintToString(pixelAt(*both.frame, 10, 10));

    // The blue layer alone, half transparent: premultiplied, over nothing.
    Rendered top = render(compositor, instruction, s(2.5), sources);
    ASSERT_TRUE(top.frame);
    EXPECT_TRUE(near(pixelAt(*top.frame, 10, 10), {128, 0, 0, 128}));

    // Nothing on screen: a transparent frame, whatever the buffer held.
    Rendered empty = render(compositor, instruction, s(3.5), sources);
    ASSERT_TRUE(empty.frame);
    EXPECT_TRUE(allClear(*empty.frame));
    EXPECT_TRUE(logger->entries().empty());
}

TEST_F(ColorAdjustCompositorTest, FailsRequestsItCannotDrawWithItsOwnErrors) {
    auto layers = std::make_shared<media::LayerVideoCompositionInstruction>(
        MediaTimeRange{s(0), s(1)}, std::vector<media::VideoCompositionLayerInstruction>{});
    Rendered wrongKind = render(compositor, layers, s(0));
    EXPECT_FALSE(wrongKind.frame);
    EXPECT_EQ(wrongKind.error,
              (VideoCompositionError{"ColorAdjustCompositor", -1, "Invalid instruction type"}));
    render(compositor, layers, s(0.5));

    auto instruction = std::make_shared<ColorAdjustInstruction>(
        std::vector<Entry>{}, MediaTimeRange{s(0), s(1)}, media::Size{kWidth, kHeight});
    Rendered noBuffer = render(compositor, instruction, s(0), {},
                               [](bool) -> std::optional<PixelBuffer> { return std::nullopt; });
    EXPECT_EQ(noBuffer.error, (VideoCompositionError{"ColorAdjustCompositor", -2,
                                                     "Failed to allocate output pixel buffer"}));

    const std::vector<std::pair<LogLevel, std::string>> expected{
        {LogLevel::error, "[Compositor] Invalid instruction type"},
        {LogLevel::error, "[Compositor] Invalid instruction type"},
        {LogLevel::error, "[Compositor] Failed to allocate output pixel buffer"}};
    EXPECT_EQ(logger->entries(), expected);
}

TEST_F(ColorAdjustCompositorTest, KeepsAnOverlayImageOnceLoadedAndRetriesOneThatIsMissing) {
    vexel::testing::TemporaryFolder folder;
    const std::filesystem::path file = folder.path() / "logo.png";
    ColorAdjustInstruction::ImageOverlayEntry logo;
    logo.imageURL = file;
    logo.fadeTiming = onScreen(0, 10);
    auto instruction = std::make_shared<ColorAdjustInstruction>(
        std::vector<Entry>{}, MediaTimeRange{s(0), s(10)}, media::Size{kWidth, kHeight},
        std::vector<ColorAdjustInstruction::TextOverlayEntry>{},
        std::vector<ColorAdjustInstruction::ImageOverlayEntry>{logo});

    // Without the file the frame is drawn without the overlay.
    Rendered missing = render(compositor, instruction, s(1));
    ASSERT_TRUE(missing.frame);
    EXPECT_TRUE(allClear(*missing.frame));

    // Once the file is there it is drawn, fitted and centred...
    vexel::testing::writeImageFile(file, solid(10, 10, kRed), vexel::testing::ImageFileFormat::png);
    Rendered found = render(compositor, instruction, s(2));
    ASSERT_TRUE(found.frame);
    EXPECT_EQ(pixelAt(*found.frame, kWidth / 2, kHeight / 2), kRed);
    EXPECT_EQ(pixelAt(*found.frame, 2, kHeight / 2), kClear);

    // ...and drawn from the cache after the file has gone.
    std::filesystem::remove(file);
    Rendered cached = render(compositor, instruction, s(3));
    ASSERT_TRUE(cached.frame);
    EXPECT_EQ(pixelAt(*cached.frame, kWidth / 2, kHeight / 2), kRed);

    // A fresh compositor has a cache of its own.
    ColorAdjustCompositor fresh(logger);
    Rendered uncached = render(fresh, instruction, s(3));
    ASSERT_TRUE(uncached.frame);
    EXPECT_TRUE(allClear(*uncached.frame));
}

TEST(ColorAdjustCompositorKeys, NameWhatTheCachedImageDependsOnAndNothingElse) {
    ColorAdjustInstruction::ImageOverlayEntry image;
    image.imageURL = "/media/logo.png";
    EXPECT_EQ(ColorAdjustCompositor::imageKey(image), "/media/logo.png");
    image.colorAdjust = ColorAdjust{0.2, 1, 1.5};
    image.filter = FilterPreset{"sepia", 0.5};
    image.clipTransform = ClipTransform{90, true, false, NormalizedRect{0, 0.25, 0.5, 0.5}};
    image.overlayTransform = OverlayTransform{0.1, 0.2, 3};
    image.fadeTiming = onScreen(1, 2, 0.5f);
    EXPECT_EQ(ColorAdjustCompositor::imageKey(image),
              "/media/logo.png|ca:0.2,1.0,1.5|f:sepia,0.5|ct:90,true,false|crop:0.0,0.25,0.5,0.5");

    ColorAdjustInstruction::TextOverlayEntry text;
    text.text = "Hello";
    text.style.strokeColor = "black";
    text.style.strokeWidth = 2;
    text.textScale = 2;
    text.position = TextPosition::top();
    EXPECT_EQ(ColorAdjustCompositor::textKey(text, {1920, 1080}),
              "Hello|48.0|white|black|2.0||0.0|1920.0x1080.0");
    text.style.fontName = "DejaVu Sans";
    text.style.boxWidth = 0.5;
    EXPECT_EQ(ColorAdjustCompositor::textKey(text, {640, 360}),
              "Hello|48.0|white|black|2.0|DejaVu Sans|0.5|640.0x360.0");

    // Free text cannot pass for another field: these two differ on screen.
    ColorAdjustInstruction::TextOverlayEntry plain;
    plain.text = "A|48.0|red";
    plain.style.textColor = "white";
    ColorAdjustInstruction::TextOverlayEntry coloured;
    coloured.text = "A";
    coloured.style.fontSize = 48;
    coloured.style.textColor = "red|48.0|white";
    EXPECT_NE(ColorAdjustCompositor::textKey(plain, {1920, 1080}),
              ColorAdjustCompositor::textKey(coloured, {1920, 1080}));
}

TEST_F(ColorAdjustCompositorTest, MixesTheTwoClipsOfACrossDissolveOverWhatLiesBelow) {
    // Grey clip A (track 1) dissolving into grey clip B (track 2) over
    // [1 s, 2 s), above a red clip on track 3 that is drawn first.
    auto dissolving = [](float outgoingOpacity, TransitionType entrance) {
        Entry outgoing = layer(1, onScreen(0, 2, outgoingOpacity));
        outgoing.fadeTiming.fadeOutStart = s(1);
        outgoing.fadeTiming.fadeOutEnd = s(2);
        outgoing.transitionOutType = TransitionType::crossDissolve();
        Entry incoming = layer(2, onScreen(1, 3));
        incoming.fadeTiming.fadeInStart = s(1);
        incoming.fadeTiming.fadeInEnd = s(2);
        incoming.transitionType = entrance;
        return std::vector<Entry>{layer(3, onScreen(0, 3)), outgoing, incoming};
    };
    const std::map<int, PixelBuffer> sources{{1, solid(kWidth, kHeight, {200, 200, 200, 255})},
                                             {2, solid(kWidth, kHeight, {100, 100, 100, 255})},
                                             {3, solid(kWidth, kHeight, kRed)}};
    struct Case {
        const char* what;
        float outgoingOpacity;
        TransitionType entrance;
        double time;
        Bgra expected;
    };
    const Case cases[] = {
        // (1 − p)·A + p·B, nothing of the red below.
        {"opaque, halfway", 1, TransitionType::crossDissolve(), 1.5, {150, 150, 150, 255}},
        {"opaque, a quarter", 1, TransitionType::crossDissolve(), 1.25, {175, 175, 175, 255}},
        // A at half opacity: 0.25·A + 0.5·B + 0.25·red.
        {"translucent", 0.5f, TransitionType::crossDissolve(), 1.5, {100, 100, 164, 255}},
        // At the window's start only A shows; after it only B.
        {"start", 1, TransitionType::crossDissolve(), 1, {200, 200, 200, 255}},
        {"after", 1, TransitionType::crossDissolve(), 2.5, {100, 100, 100, 255}},
        // A fade entrance is no pair: B is faded in over A faded out,
        // p·B + (1 − p)²·A = 50 + 50, the red behind showing through.
        {"fade", 1, TransitionType::fade(), 1.5, {100, 100, 164, 255}},
    };
    for (const Case& c : cases) {
        auto instruction = std::make_shared<ColorAdjustInstruction>(
            dissolving(c.outgoingOpacity, c.entrance), MediaTimeRange{s(0), s(3)},
            media::Size{kWidth, kHeight});
        Rendered rendered = render(compositor, instruction, s(c.time), sources);
        ASSERT_TRUE(rendered.frame) << c.what;
        EXPECT_TRUE(near(pixelAt(*rendered.frame, 7, 11), c.expected, 2))
            << c.what << ": " << ::testing::PrintToString(pixelAt(*rendered.frame, 7, 11));
    }
}
