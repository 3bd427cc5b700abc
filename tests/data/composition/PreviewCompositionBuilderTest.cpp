#include "data/composition/PreviewCompositionBuilder.h"

#include "data/composition/ColorAdjustCompositor.h"
#include "platform/media/LayerVideoCompositionInstruction.h"
#include "support/RecordingLogger.h"

#include <gtest/gtest.h>

using namespace vexel;
using media::MediaTime;
using media::Point;

namespace {

MediaTime s(double seconds) {
    return MediaTime::fromSeconds(seconds);
}

VideoTrackEntry videoEntry(media::Size natural, media::Affine transform = {},
                           std::optional<ClipTransform> clipTransform = std::nullopt) {
    VideoTrackEntry entry;
    entry.trackID = 7;
    entry.naturalSize = natural;
    entry.transform = transform;
    entry.clipTransform = clipTransform;
    entry.clipStartTime = s(5);
    entry.clipEndTime = s(10);
    entry.compositionStartTime = s(4);
    entry.compositionEndTime = s(9);
    entry.opacity = 0.75f;
    return entry;
}

void expectMaps(const media::Affine& t, Point from, Point to, const char* what) {
    Point mapped = t.apply(from);
    EXPECT_NEAR(mapped.x, to.x, 1e-6) << what;
    EXPECT_NEAR(mapped.y, to.y, 1e-6) << what;
}

} // namespace

// Both spaces here have y up: the source's top-left corner is (0, height).
TEST(PreviewCompositionBuilder, TheTopLeftOfTheSourceStaysTopLeftThroughFlipFitFlip) {
    const media::Size render{1920, 1080};
    auto portrait =
        PreviewCompositionBuilder::makeInstructionEntry(videoEntry({1080, 1920}), render);
    expectMaps(portrait.transform, {0, 1920}, {656.25, 1080}, "portrait top-left");
    expectMaps(portrait.transform, {1080, 0}, {1263.75, 0}, "portrait bottom-right");

    auto mirrored = PreviewCompositionBuilder::makeInstructionEntry(
        videoEntry({1080, 1920}, {}, ClipTransform{0, true, false, std::nullopt}), render);
    expectMaps(mirrored.transform, {0, 1920}, {1263.75, 1080}, "mirrored top-left");

    // Stored landscape and turned upright by the file: the stored bottom-left
    // corner is the upright picture's top-left.
    auto phone = PreviewCompositionBuilder::makeInstructionEntry(
        videoEntry({1920, 1080}, {0, 1, -1, 0, 1080, 0}), render);
    expectMaps(phone.transform, {0, 0}, {656.25, 1080}, "phone top-left");

    // A crop of the top strip: the strip is what fills the frame, and the
    // layer shows only it, in the source's y-up pixels.
    auto strip = PreviewCompositionBuilder::makeInstructionEntry(
        videoEntry({1920, 1080}, {}, ClipTransform{0, false, false, NormalizedRect{0, 0, 1, 0.25}}),
        render);
    ASSERT_TRUE(strip.cropRect);
    EXPECT_EQ(*strip.cropRect, (media::Rect{{0, 810}, {1920, 270}}));
    expectMaps(strip.transform, {0, 1080}, {0, 675}, "strip top-left");
    EXPECT_FALSE(portrait.cropRect);
}

TEST(PreviewCompositionBuilder, TheLayerIsOnScreenOverItsCompositionTimesWithTransitionWindows) {
    VideoTrackEntry entry = videoEntry({1920, 1080});
    entry.colorAdjust = ColorAdjust{0.1, 1.2, 0.9};
    entry.filter = FilterPreset{"noir", 0.5};
    auto plain = PreviewCompositionBuilder::makeInstructionEntry(entry, {1920, 1080});
    EXPECT_EQ(plain.trackID, 7);
    EXPECT_EQ(plain.colorAdjust, entry.colorAdjust);
    EXPECT_EQ(plain.filter, entry.filter);
    EXPECT_EQ(plain.fadeTiming, (FadeTimingInfo{0.75f, s(4), s(9), std::nullopt, std::nullopt,
                                                std::nullopt, std::nullopt}));
    EXPECT_FALSE(plain.transitionType);
    EXPECT_EQ(plain.transitionEasing, EasingCurve::linear);
    EXPECT_FALSE(plain.transitionOutType);

    entry.transitionIn =
        TransitionEffect{0.5, TransitionType::crossDissolve(), EasingCurve::easeIn};
    entry.transitionOut =
        TransitionEffect{1, TransitionType::push(Direction::up), EasingCurve::easeOut};
    auto faded = PreviewCompositionBuilder::makeInstructionEntry(entry, {1920, 1080});
    EXPECT_EQ(faded.fadeTiming, (FadeTimingInfo{0.75f, s(4), s(9), s(4), s(4.5), s(8), s(9)}));
    EXPECT_EQ(faded.transitionType, TransitionType::crossDissolve());
    EXPECT_EQ(faded.transitionEasing, EasingCurve::easeIn);
    EXPECT_EQ(faded.transitionOutType, TransitionType::push(Direction::up));
    EXPECT_EQ(faded.transitionOutEasing, EasingCurve::easeOut);

    // Fades and dissolves are no geometric transitions, but their windows
    // make the instruction tween.
    entry.transitionOut = TransitionEffect{1, TransitionType::fade(), EasingCurve::linear};
    auto dissolving = PreviewCompositionBuilder::makeInstructionEntry(entry, {1920, 1080});
    EXPECT_TRUE(
        ColorAdjustInstruction({dissolving}, {s(0), s(9)}, {1920, 1080}).containsTweening());

    // A transition of no length still makes its (empty) window.
    entry.transitionIn->duration = 0;
    auto instant = PreviewCompositionBuilder::makeInstructionEntry(entry, {1920, 1080});
    EXPECT_EQ(instant.fadeTiming.fadeInStart, s(4));
    EXPECT_EQ(instant.fadeTiming.fadeInEnd, s(4));
}

TEST(PreviewCompositionBuilder, TakesTheCompositorForTransitionsRampsCannotDrawAndForColour) {
    using T = TransitionType;
    auto transition = [](T type, EasingCurve easing = EasingCurve::linear) {
        return std::optional<TransitionEffect>(TransitionEffect{1, type, easing});
    };
    struct Case {
        const char* name;
        std::optional<ColorAdjust> colour;
        std::optional<FilterPreset> filter;
        std::optional<TransitionEffect> in;
        std::optional<TransitionEffect> out;
        bool custom;
    };
    const std::optional<ColorAdjust> none;
    const std::optional<FilterPreset> plain;
    const Case cases[] = {
        {"nothing", none, plain, std::nullopt, std::nullopt, false},
        {"fade and dissolve", none, plain, transition(T::fade()), transition(T::crossDissolve()),
         false},
        // Looks that change no pixel stay with the layers.
        {"neutral colour, no preset", ColorAdjust{0, 1, 1}, FilterPreset{"none", 1}, std::nullopt,
         std::nullopt, false},
        {"a preset of no known name", none, FilterPreset{"Sepia", 1}, std::nullopt, std::nullopt,
         false},
        {"eased dissolve", none, plain, std::nullopt,
         transition(T::crossDissolve(), EasingCurve::easeIn), true},
        {"zoom", none, plain, transition(T::zoomIn()), std::nullopt, true},
        {"wipe out", none, plain, std::nullopt, transition(T::wipe(Direction::down)), true},
        {"graded", ColorAdjust{0.3, 1.1, 0}, plain, std::nullopt, std::nullopt, true},
        {"sepia through a dissolve", none, FilterPreset{"sepia", 0.8},
         transition(T::crossDissolve()), std::nullopt, true},
    };
    const media::Composition composition({media::CompositionTrack(7, media::MediaType::video),
                                          media::CompositionTrack(8, media::MediaType::video)});
    for (const Case& c : cases) {
        // A plain clip under a second clip with the look and the transitions.
        const VideoTrackEntry first = videoEntry({1920, 1080});
        VideoTrackEntry second = videoEntry({1280, 720});
        second.trackID = 8;
        second.colorAdjust = c.colour;
        second.filter = c.filter;
        second.transitionIn = c.in;
        second.transitionOut = c.out;
        const media::VideoComposition video = PreviewCompositionBuilder::buildVideoComposition(
            {first, second}, composition, s(9), std::make_shared<test::RecordingLogger>());

        EXPECT_EQ(video.renderSize, (media::Size{1920, 1080})) << c.name;
        EXPECT_EQ(video.frameDuration, MediaTime(1, 30)) << c.name;
        ASSERT_EQ(video.instructions.size(), 1u) << c.name;
        EXPECT_EQ(video.instructions[0]->timeRange(), (media::MediaTimeRange{s(0), s(9)}))
            << c.name;
        EXPECT_EQ(static_cast<bool>(video.customCompositor), c.custom) << c.name;
        if (!c.custom) {
            auto layers = std::dynamic_pointer_cast<const media::LayerVideoCompositionInstruction>(
                video.instructions[0]);
            ASSERT_TRUE(layers) << c.name;
            EXPECT_EQ(layers->requiredSourceTrackIDs(), (std::vector<int>{7, 8})) << c.name;
            continue;
        }
        EXPECT_TRUE(dynamic_cast<ColorAdjustCompositor*>(video.customCompositor().get()));
        auto drawn = std::dynamic_pointer_cast<const ColorAdjustInstruction>(video.instructions[0]);
        ASSERT_TRUE(drawn) << c.name;
        ASSERT_EQ(drawn->entries().size(), 2u);
        // Each layer keeps its own look; the overlays are drawn over the
        // player, not here.
        EXPECT_FALSE(drawn->entries()[0].colorAdjust) << c.name;
        EXPECT_FALSE(drawn->entries()[0].filter) << c.name;
        EXPECT_EQ(drawn->entries()[1].colorAdjust, c.colour) << c.name;
        EXPECT_EQ(drawn->entries()[1].filter, c.filter) << c.name;
        EXPECT_EQ(drawn->entries()[1].transitionType,
                  c.in ? std::optional(c.in->type) : std::nullopt);
        EXPECT_TRUE(drawn->textOverlays().empty());
        EXPECT_TRUE(drawn->imageOverlays().empty());
        EXPECT_EQ(drawn->renderSize(), video.renderSize);
    }
}
