#include "data/composition/PreviewCompositionBuilder.h"

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
