#include "domain/usecases/TrimClipUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct TrimClipUseCaseTest : ::testing::Test {
    Clip a = [] {
        Clip clip = makeClip(10, 8);
        clip.sourceOffset = 1;
        clip.volume = 0.4;
        clip.fadeRange = TimeRange{1, 2}; // ends 3 s into the clip
        clip.transitionIn = TransitionEffect{1.5, TransitionType::fade(), EasingCurve::linear};
        clip.transitionOut = TransitionEffect{1.0, TransitionType::fade(), EasingCurve::easeIn};
        return clip;
    }();
    Clip b = makeClip(18, 4);
    EditEngineHarness engine{Project{{makeTrack(TrackType::video, "Video 1", {a, b})}, 60}};
    UseCaseDriver<TrimClipUseCase> useCase{engine};
    const double nan = std::numeric_limits<double>::quiet_NaN();
};

} // namespace

TEST_F(TrimClipUseCaseTest, SetsInPointAndLengthKeepingStartAndUndoes) {
    const Project before = engine.repository->load();
    const Project after = engine.change([&] { return useCase.execute(a.id, 2.5, 6); });
    const Clip& trimmed = after.tracks[0].clips[0];
    EXPECT_EQ(trimmed.id, a.id);
    EXPECT_EQ(trimmed.timeRange, (TimeRange{10, 6}));
    EXPECT_EQ(trimmed.sourceOffset, 2.5);
    EXPECT_EQ(trimmed.fadeRange, a.fadeRange);
    EXPECT_EQ(trimmed.transitionIn, a.transitionIn);
    EXPECT_EQ(trimmed.volume, 0.4);
    engine.expectUndoable(before, after);
}

TEST_F(TrimClipUseCaseTest, ShorterClipDropsFadeRangeAndTransitionsThatNoLongerFit) {
    // 2.5 s is exactly the two transitions; the fade ends at 3 s.
    const Clip exact = useCase.applyTo(engine.repository->load(), a.id, 0, 2.5).tracks[0].clips[0];
    EXPECT_TRUE(exact.transitionIn && exact.transitionOut);
    EXPECT_FALSE(exact.fadeRange);
    const Clip fadeFits = useCase.applyTo(engine.repository->load(), a.id, 0, 3).tracks[0].clips[0];
    EXPECT_EQ(fadeFits.fadeRange, a.fadeRange);
    const Clip shorter = useCase.applyTo(engine.repository->load(), a.id, 0, 2).tracks[0].clips[0];
    EXPECT_FALSE(shorter.transitionIn || shorter.transitionOut || shorter.fadeRange);
}

TEST_F(TrimClipUseCaseTest, RejectsBadRangesAndTheMaxDuration) {
    for (const auto& [sourceStart, duration] :
         std::vector<std::pair<double, double>>{{0, 0}, {-0.1, 2}, {0, -1}, {nan, 2}, {0, nan}}) {
        expectEditError([&] { useCase.execute(a.id, sourceStart, duration); },
                        EditError::invalidTimeRange());
    }
    expectEditError([&] { useCase.execute(a.id, 0, 50.001); }, EditError::exceedsMaxDuration());
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_NO_THROW(useCase.execute(a.id, 0, 50)); // ends exactly at the limit
}

TEST_F(TrimClipUseCaseTest, LengtheningIntoANeighbourIsNotCheckedHere) {
    const Project after = useCase.execute(a.id, 0, 12);
    EXPECT_EQ(after.tracks[0].clips[0].timeRange, (TimeRange{10, 12}));
    EXPECT_EQ(after.tracks[0].clips[1].timeRange, b.timeRange);
}
