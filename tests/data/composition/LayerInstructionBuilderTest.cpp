#include "data/composition/LayerInstructionBuilder.h"

#include "data/composition/CompositionGeometry.h"

#include <gtest/gtest.h>

using namespace vexel;
using media::CompositionTrack;
using media::MediaTime;
using media::MediaType;

namespace {

MediaTime s(double seconds) {
    return MediaTime::fromSeconds(seconds);
}

VideoTrackEntry entryOn(int trackID, double start, double end, float opacity = 1) {
    VideoTrackEntry entry;
    entry.trackID = trackID;
    entry.naturalSize = {1920, 1080};
    entry.compositionStartTime = s(start);
    entry.compositionEndTime = s(end);
    entry.clipStartTime = s(start);
    entry.clipEndTime = s(end);
    entry.opacity = opacity;
    return entry;
}

std::optional<TransitionEffect> fade(double seconds) {
    return TransitionEffect{seconds, TransitionType::fade(), EasingCurve::easeInOut};
}

const media::Composition& composition() {
    static const media::Composition tracks(
        {CompositionTrack(1, MediaType::video), CompositionTrack(2, MediaType::video),
         CompositionTrack(3, MediaType::audio), CompositionTrack(4, MediaType::video)});
    return tracks;
}

} // namespace

TEST(LayerInstructionBuilder, FadesEachLayerInAndOutOverItsCompositionTimes) {
    VideoTrackEntry fromZero = entryOn(1, 0, 5, 0.8f);
    VideoTrackEntry fading = entryOn(2, 4, 10);
    fading.transitionIn = fade(1);
    fading.transitionOut = fade(1);
    // Leaves before it could have faded out in full, and cuts in.
    VideoTrackEntry brief = entryOn(4, 0, 1, 0.5f);
    brief.transitionIn = fade(0);
    brief.transitionOut = fade(2);
    const auto layers = LayerInstructionBuilder::buildMutableLayerInstructions(
        {fromZero, entryOn(9, 0, 5), fading, entryOn(3, 0, 5), brief}, composition(),
        media::Size{1920, 1080});

    // Tracks that are no video tracks of the composition are left out.
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(layers[0].trackID, 1);
    EXPECT_EQ(layers[1].trackID, 2);
    EXPECT_EQ(layers[2].trackID, 4);

    struct Sample {
        double time;
        float first;
        float second;
        float third;
    };
    const Sample samples[] = {
        {0, 0.8f, 0, 0.25f}, {0.5, 0.8f, 0, 0.125f}, {1, 0.8f, 0, 0}, {3.99, 0.8f, 0, 0},
        {4, 0.8f, 0, 0},     {4.5, 0.8f, 0.5f, 0},   {5, 0, 1, 0},    {9, 0, 1, 0},
        {9.5, 0, 0.5f, 0},   {10, 0, 0, 0},          {11, 0, 0, 0},
    };
    for (const Sample& sample : samples) {
        EXPECT_NEAR(layers[0].opacity.valueAt(s(sample.time)), sample.first, 1e-6) << sample.time;
        EXPECT_NEAR(layers[1].opacity.valueAt(s(sample.time)), sample.second, 1e-6) << sample.time;
        EXPECT_NEAR(layers[2].opacity.valueAt(s(sample.time)), sample.third, 1e-6) << sample.time;
    }
    // A layer from zero without an entrance has its opacity from the start,
    // with no step through zero.
    EXPECT_EQ(layers[0].opacity.changes().front(),
              (media::ParameterTimeline::Change{s(0), s(0), 0.8f, 0.8f}));
}

TEST(LayerInstructionBuilder, FitsAndCropsEachLayerIntoTheRenderSize) {
    VideoTrackEntry cropped = entryOn(1, 0, 5);
    cropped.clipTransform = ClipTransform{0, false, false, NormalizedRect{0.25, 0.25, 0.5, 0.5}};
    VideoTrackEntry portrait = entryOn(2, 0, 5);
    portrait.naturalSize = {1080, 1920};
    const auto layers = LayerInstructionBuilder::buildMutableLayerInstructions(
        {cropped, portrait}, composition(), media::Size{960, 540});
    ASSERT_EQ(layers.size(), 2u);

    EXPECT_EQ(layers[0].transformAt(s(0)), media::Affine::translation(-480, -270));
    EXPECT_EQ(layers[0].cropRectangle, (media::Rect{{480, 270}, {960, 540}}));
    EXPECT_EQ(layers[1].transformAt(s(3)),
              CompositionGeometry::calculateFitTransform(portrait.naturalSize, {}, std::nullopt,
                                                         media::Size{960, 540}));
    EXPECT_FALSE(layers[1].cropRectangle);

    // Without a render size the frame is only turned upright.
    const auto unfitted = LayerInstructionBuilder::buildMutableLayerInstructions(
        {portrait}, composition(), std::nullopt);
    ASSERT_EQ(unfitted.size(), 1u);
    EXPECT_TRUE(unfitted[0].transformAt(s(0)).isIdentity());
}

TEST(LayerInstructionBuilder, KeepsTheLowerClipOfACrossDissolveUnderTheUpperOneFadingOut) {
    // The upper clip A on 0-5 s dissolving into B on 4-10 s: the pair shows
    // A·α + B·β·(1 − α) of the two, which must be (1 − p)·a·A + p·b·B.
    const TransitionEffect dissolve{1, TransitionType::crossDissolve(), EasingCurve::linear};
    struct Case {
        const char* what;
        float upperOpacity;
        float lowerOpacity;
        TransitionEffect entrance;
        double lowerStart;
        bool mixed;
    };
    const Case cases[] = {
        {"opaque", 1, 1, dissolve, 4, true},
        {"translucent lower", 1, 0.6f, dissolve, 4, true},
        {"translucent upper", 0.5f, 1, dissolve, 4, true},
        {"invisible upper", 0, 0.8f, dissolve, 4, true},
        // Not one dissolve: another entrance, or windows that do not meet.
        {"fade entrance", 1, 1, {1, TransitionType::fade(), EasingCurve::linear}, 4, false},
        {"later entrance", 1, 1, dissolve, 4.5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VideoTrackEntry upper = entryOn(1, 0, 5, c.upperOpacity);
        upper.transitionOut = dissolve;
        VideoTrackEntry lower = entryOn(2, c.lowerStart, c.lowerStart + 6, c.lowerOpacity);
        lower.transitionIn = c.entrance;
        const auto layers = LayerInstructionBuilder::buildMutableLayerInstructions(
            {upper, lower}, composition(), media::Size{1920, 1080});
        ASSERT_EQ(layers.size(), 2u);
        EXPECT_EQ(layers[1].opacity.valueAt(s(3.9)), 0);
        for (double t = c.lowerStart; t < c.lowerStart + 1; t += 0.1) {
            const double p = t - c.lowerStart;
            const float alpha = layers[0].opacity.valueAt(s(t));
            const float beta = layers[1].opacity.valueAt(s(t));
            const double shownLower = beta * (1 - alpha);
            if (c.mixed) {
                EXPECT_NEAR(alpha, (1 - p) * c.upperOpacity, 1e-6) << t;
                EXPECT_NEAR(shownLower, p * c.lowerOpacity, 0.01) << t;
            } else {
                // Each fades on its own, as before.
                EXPECT_NEAR(beta, p * c.lowerOpacity, 1e-6) << t;
            }
        }
        EXPECT_NEAR(layers[1].opacity.valueAt(s(c.lowerStart + 1.5)), c.lowerOpacity, 1e-6);
    }
    // Under an opaque upper clip the lower one has no ramp at all.
    VideoTrackEntry upper = entryOn(1, 0, 5);
    upper.transitionOut = dissolve;
    VideoTrackEntry lower = entryOn(2, 4, 10);
    lower.transitionIn = dissolve;
    const auto layers = LayerInstructionBuilder::buildMutableLayerInstructions(
        {upper, lower}, composition(), media::Size{1920, 1080});
    EXPECT_EQ(layers[1].opacity.changes(),
              (std::vector<media::ParameterTimeline::Change>{
                  {s(0), s(0), 0, 0}, {s(4), s(0), 1, 1}, {s(10), s(0), 0, 0}}));
}
