#include "domain/usecases/SplitClipUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct SplitClipUseCaseTest : ::testing::Test {
    Clip clip = [] {
        Clip c = makeClip(5, 10, TrackType::video, "beach.mov");
        c.sourceOffset = 2;
        c.rate = 2;
        c.volume = 0.25;
        c.opacity = 0.5;
        c.transitionIn = TransitionEffect{1, TransitionType::fade(), EasingCurve::linear};
        c.transitionOut = TransitionEffect{1, TransitionType::spin(), EasingCurve::easeOut};
        return c;
    }();
    Clip before = makeClip(0, 5, TrackType::video, "intro.mov");
    Clip after = makeClip(15, 5, TrackType::video, "beach_4.mov");
    EditEngineHarness engine{
        Project{{makeTrack(TrackType::video, "Video 1", {before, clip, after})}, 100}};
    UseCaseDriver<SplitClipUseCase> useCase{engine};

    Clip withFade(TimeRange fade) {
        Clip c = clip;
        c.fadeRange = fade;
        engine.repository->save(Project{{makeTrack(TrackType::video, "Video 1", {c})}, 100});
        return c;
    }
    std::pair<Clip, Clip> halves(const Project& project) {
        return {project.tracks[0].clips.at(0), project.tracks[0].clips.at(1)};
    }
};

} // namespace

TEST_F(SplitClipUseCaseTest, CutsIntoTwoNamedHalvesInPlaceAndUndoes) {
    const Project original = engine.repository->load();
    const Project result = engine.change([&] { return useCase.execute(clip.id, 8); });
    const auto& clips = result.tracks[0].clips;
    ASSERT_EQ(clips.size(), 4u);
    EXPECT_EQ(clips[0], before);
    EXPECT_EQ(clips[3], after);
    const Clip& first = clips[1];
    const Clip& second = clips[2];
    EXPECT_EQ(result.findClip(clip.id), nullptr);
    EXPECT_NE(first.id, second.id);
    // beach_4.mov already exists, so numbering goes on after it.
    EXPECT_EQ(first.assetName, "beach_5.mov");
    EXPECT_EQ(second.assetName, "beach_6.mov");
    EXPECT_EQ(first.timeRange, (TimeRange{5, 3}));
    EXPECT_EQ(second.timeRange, (TimeRange{8, 7}));
    EXPECT_EQ(first.sourceOffset, 2);
    EXPECT_EQ(second.sourceOffset, 2 + 3 * 2); // the cut in source seconds, at rate 2
    // The entry transition stays at the front, the exit at the back.
    EXPECT_EQ(first.transitionIn, clip.transitionIn);
    EXPECT_FALSE(first.transitionOut);
    EXPECT_FALSE(second.transitionIn);
    EXPECT_EQ(second.transitionOut, clip.transitionOut);
    for (const Clip* half : {&first, &second}) {
        EXPECT_EQ(half->volume, 0.25);
        EXPECT_EQ(half->opacity, 0.5);
        EXPECT_EQ(half->rate, 2);
        EXPECT_EQ(half->assetURL, clip.assetURL);
    }
    engine.expectUndoable(original, result);
}

TEST_F(SplitClipUseCaseTest, SplitPointMustLieStrictlyInside) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double at : {5.0, 15.0, 4.0, 16.0, nan}) {
        expectEditError([&] { useCase.execute(clip.id, at); }, EditError::invalidSplitPoint());
    }
    EXPECT_TRUE(engine.repository->saved.empty());
}

TEST_F(SplitClipUseCaseTest, SecondHalfFadeRangeIsShiftedByTheCut) {
    // A fade from 1 s to 3 s into the clip (5 + 1 to 5 + 3 on the timeline).
    const TimeRange fade{1, 2};

    // Cut after the fade: the second half plays at the reduced level throughout.
    withFade(fade);
    auto [first, second] = halves(useCase.execute(clip.id, 9));
    EXPECT_EQ(first.fadeRange, fade); // 4 s half: the fade still fits
    EXPECT_FALSE(second.fadeRange);

    // Cut before the fade: the fade keeps its place on the timeline.
    withFade(fade);
    std::tie(first, second) = halves(useCase.execute(clip.id, 5.5));
    EXPECT_FALSE(first.fadeRange); // 0.5 s half: the fade does not fit
    EXPECT_EQ(second.fadeRange, (TimeRange{0.5, 2}));

    // Cut inside the fade: the second half carries its rest from its start.
    withFade(fade);
    std::tie(first, second) = halves(useCase.execute(clip.id, 7));
    EXPECT_FALSE(first.fadeRange);
    EXPECT_EQ(second.fadeRange, (TimeRange{0, 1}));

    // Cut exactly at the fade's end: the fade is over.
    withFade(fade);
    std::tie(first, second) = halves(useCase.execute(clip.id, 8));
    EXPECT_EQ(first.fadeRange, fade);
    EXPECT_FALSE(second.fadeRange);

    // A shifted fade that runs past the second half's end is dropped.
    withFade(TimeRange{6, 10});
    std::tie(first, second) = halves(useCase.execute(clip.id, 6));
    EXPECT_FALSE(second.fadeRange);
}

TEST_F(SplitClipUseCaseTest, HalvesTooShortForBothTransitionsLoseThem) {
    Clip c = clip;
    c.transitionIn = TransitionEffect{2, TransitionType::fade(), EasingCurve::linear};
    engine.repository->save(Project{{makeTrack(TrackType::video, "Video 1", {c})}, 100});
    auto [first, second] = halves(useCase.execute(clip.id, 6.5)); // first half 1.5 s
    EXPECT_FALSE(first.transitionIn);
    EXPECT_EQ(second.transitionOut, clip.transitionOut);
}
