#include "data/composition/VideoEntryRenderer.h"

#include "platform/image/ColorOperation.h"

#include <gtest/gtest.h>

using namespace vexel;
using media::MediaTime;
using media::Rect;
using Entry = ColorAdjustInstruction::Entry;

namespace {

constexpr media::Size kCanvas{100, 50};

MediaTime s(double seconds) {
    return MediaTime::fromSeconds(seconds);
}

const media::PixelBuffer& source() {
    static const media::PixelBuffer frame = media::PixelBuffer::create(100, 50);
    return frame;
}

// On screen 0-10 s, as large as the canvas, with a 1 s entrance and a 1 s
// exit when given.
Entry entryWith(std::optional<TransitionType> in, std::optional<TransitionType> out = std::nullopt,
                float opacity = 1, EasingCurve easing = EasingCurve::linear) {
    Entry entry;
    entry.trackID = 1;
    entry.fadeTiming.opacity = opacity;
    entry.fadeTiming.compositionStartTime = s(0);
    entry.fadeTiming.compositionEndTime = s(10);
    if (in) {
        entry.fadeTiming.fadeInStart = s(0);
        entry.fadeTiming.fadeInEnd = s(1);
        entry.transitionType = in;
        entry.transitionEasing = easing;
    }
    if (out) {
        entry.fadeTiming.fadeOutStart = s(9);
        entry.fadeTiming.fadeOutEnd = s(10);
        entry.transitionOutType = out;
    }
    return entry;
}

void expectRect(const Rect& actual, const Rect& expected, const std::string& what) {
    EXPECT_NEAR(actual.minX(), expected.minX(), 1e-6) << what;
    EXPECT_NEAR(actual.minY(), expected.minY(), 1e-6) << what;
    EXPECT_NEAR(actual.size.width, expected.size.width, 1e-6) << what;
    EXPECT_NEAR(actual.size.height, expected.size.height, 1e-6) << what;
}

} // namespace

// Halfway through a 1 s window, on a 100 x 50 canvas with y up.
TEST(VideoEntryRenderer, TransitionsMoveCutTurnAndScaleTheLayerByTheirProgress) {
    using T = TransitionType;
    using D = Direction;
    struct Case {
        const char* name;
        T type;
        Rect entrance;
        Rect exit;
        double entranceAlpha = 1;
        double exitAlpha = 1;
    };
    const Case cases[] = {
        {"push left", T::push(D::left), {{50, 0}, {100, 50}}, {{-50, 0}, {100, 50}}},
        {"push right", T::push(D::right), {{-50, 0}, {100, 50}}, {{50, 0}, {100, 50}}},
        {"push up", T::push(D::up), {{0, -25}, {100, 50}}, {{0, 25}, {100, 50}}},
        {"push down", T::push(D::down), {{0, 25}, {100, 50}}, {{0, -25}, {100, 50}}},
        {"slide left", T::slide(D::left), {{50, 0}, {100, 50}}, {{-50, 0}, {100, 50}}},
        {"wipe left", T::wipe(D::left), {{50, 0}, {50, 50}}, {{0, 0}, {50, 50}}},
        {"wipe right", T::wipe(D::right), {{0, 0}, {50, 50}}, {{50, 0}, {50, 50}}},
        {"wipe up", T::wipe(D::up), {{0, 0}, {100, 25}}, {{0, 25}, {100, 25}}},
        {"wipe down", T::wipe(D::down), {{0, 25}, {100, 25}}, {{0, 0}, {100, 25}}},
        {"spin", T::spin(), {{0, 0}, {100, 50}}, {{0, 0}, {100, 50}}, 0.5, 0.5},
        {"flip", T::flip(), {{49.95, 0}, {0.1, 50}}, {{25, 0}, {50, 50}}},
        {"zoomIn", T::zoomIn(), {{25, 12.5}, {50, 25}}, {{-25, -12.5}, {150, 75}}},
        {"zoomOut", T::zoomOut(), {{-25, -12.5}, {150, 75}}, {{25, 12.5}, {50, 25}}},
    };
    for (const Case& c : cases) {
        const Entry entry = entryWith(c.type, c.type, 0.5f);
        const image::Picture in = VideoEntryRenderer::layer(entry, source(), s(0.5), kCanvas);
        expectRect(in.extent(), c.entrance, std::string(c.name) + " in");
        // The clip's own opacity waits for the end of the window.
        EXPECT_DOUBLE_EQ(in.alpha(), c.entranceAlpha) << c.name;
        const image::Picture out = VideoEntryRenderer::layer(entry, source(), s(9.5), kCanvas);
        expectRect(out.extent(), c.exit, std::string(c.name) + " out");
        EXPECT_DOUBLE_EQ(out.alpha(), c.exitAlpha) << c.name;
        const image::Picture between = VideoEntryRenderer::layer(entry, source(), s(5), kCanvas);
        expectRect(between.extent(), {{0, 0}, {100, 50}}, std::string(c.name) + " between");
        EXPECT_DOUBLE_EQ(between.alpha(), 0.5) << c.name;
    }

    // A spin is half a turn at half its progress.
    const image::Picture spun =
        VideoEntryRenderer::layer(entryWith(T::spin()), source(), s(0.5), kCanvas);
    EXPECT_EQ(spun.transform(), (media::Affine{-1, 0, 0, -1, 100, 50}));
}

TEST(VideoEntryRenderer, APushStartsAWholeFrameAwayAndEasesIntoPlace) {
    const Entry push = entryWith(TransitionType::push(Direction::left));
    EXPECT_DOUBLE_EQ(VideoEntryRenderer::layer(push, source(), s(0), kCanvas).extent().minX(), 100);
    const double last =
        VideoEntryRenderer::layer(push, source(), MediaTime(29, 30), kCanvas).extent().minX();
    EXPECT_NEAR(last, 100.0 / 30, 1e-9);
    EXPECT_DOUBLE_EQ(VideoEntryRenderer::layer(push, source(), s(1), kCanvas).extent().minX(), 0);

    // easeIn: a quarter of the way at half the time.
    const Entry eased =
        entryWith(TransitionType::push(Direction::left), std::nullopt, 1, EasingCurve::easeIn);
    EXPECT_DOUBLE_EQ(VideoEntryRenderer::layer(eased, source(), s(0.5), kCanvas).extent().minX(),
                     75);

    // At the very start of an exit nothing has moved yet, and the layer is
    // drawn without its own opacity.
    const Entry leaving = entryWith(std::nullopt, TransitionType::push(Direction::left), 0.5f);
    const image::Picture start = VideoEntryRenderer::layer(leaving, source(), s(9), kCanvas);
    EXPECT_DOUBLE_EQ(start.extent().minX(), 0);
    EXPECT_DOUBLE_EQ(start.alpha(), 1);

    // Fades and cross-dissolves are opacity ramps on top of the clip's own.
    const Entry fading = entryWith(TransitionType::fade(), TransitionType::crossDissolve(), 0.5f);
    EXPECT_DOUBLE_EQ(VideoEntryRenderer::layer(fading, source(), s(0), kCanvas).alpha(), 0);
    EXPECT_DOUBLE_EQ(VideoEntryRenderer::layer(fading, source(), s(0.5), kCanvas).alpha(), 0.25);
    EXPECT_DOUBLE_EQ(VideoEntryRenderer::layer(fading, source(), s(9.75), kCanvas).alpha(), 0.125);
    expectRect(VideoEntryRenderer::layer(fading, source(), s(0.5), kCanvas).extent(),
               {{0, 0}, {100, 50}}, "fade stays in place");
}

TEST(VideoEntryRenderer, ColourControlsAndPresetsPassTheModelsValuesOn) {
    Entry entry = entryWith(std::nullopt);
    entry.colorAdjust = ColorAdjust{0.2, 1, 1};
    entry.filter = FilterPreset{"sepia", 0.4};
    const image::Picture graded = VideoEntryRenderer::layer(entry, source(), s(1), kCanvas);
    ASSERT_EQ(graded.colorOperations().size(), 2u);
    EXPECT_EQ(graded.colorOperations()[0], image::ColorOperation::colorControls(0.2, 1, 1));
    EXPECT_EQ(graded.colorOperations()[1], image::ColorOperation::sepia(0.4));

    const image::Picture picture(source());
    struct Preset {
        FilterPreset preset;
        std::optional<image::ColorOperation> operation;
    };
    const Preset presets[] = {
        {{"noir", 0.3}, image::ColorOperation::noir()},
        {{"grayscale", 0.6}, image::ColorOperation::grayscale(0.6)},
        {{"Sepia", 1}, std::nullopt},
        {{"none", 1}, std::nullopt},
        {{"", 1}, std::nullopt},
        {{"vintage", 1}, std::nullopt},
    };
    for (const Preset& p : presets) {
        std::optional<image::Picture> filtered =
            VideoEntryRenderer::applyFilterPreset(p.preset, picture);
        ASSERT_EQ(filtered.has_value(), p.operation.has_value()) << p.preset.name;
        if (filtered) {
            ASSERT_EQ(filtered->colorOperations().size(), 1u);
            EXPECT_EQ(filtered->colorOperations()[0], *p.operation) << p.preset.name;
        }
    }

    // An unknown preset leaves the layer as it is.
    entry.colorAdjust.reset();
    entry.filter = FilterPreset{"Sepia", 1};
    EXPECT_TRUE(
        VideoEntryRenderer::layer(entry, source(), s(1), kCanvas).colorOperations().empty());
}
