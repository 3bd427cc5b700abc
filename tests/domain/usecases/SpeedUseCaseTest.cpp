#include "domain/usecases/SpeedUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct SpeedUseCaseTest : ::testing::Test {
    Clip a = [] {
        Clip clip = makeClip(0, 10);
        clip.sourceOffset = 2;
        clip.transitionIn = TransitionEffect{3, TransitionType::fade(), EasingCurve::linear};
        clip.transitionOut = TransitionEffect{3, TransitionType::fade(), EasingCurve::linear};
        clip.fadeRange = TimeRange{1, 5};
        return clip;
    }();
    Clip b = makeClip(15, 6.25);
    Clip last = makeClip(40, 10);
    Clip song = makeClip(0, 8, TrackType::audio, "song.mp3");
    EditEngineHarness engine{Project{{makeTrack(TrackType::video, "Video 1", {a, b, last}),
                                      makeTrack(TrackType::audio, "Audio 1", {song}, true)},
                                     60}};
    UseCaseDriver<SpeedUseCase> useCase{engine};
};

} // namespace

TEST_F(SpeedUseCaseTest, ScalesTheLengthByOldOverNewRate) {
    const Project after = useCase.execute(a.id, 2.0);
    const Clip& faster = *after.findClip(a.id);
    EXPECT_EQ(faster.timeRange, (TimeRange{0, 5}));
    EXPECT_EQ(faster.rate, 2.0);
    EXPECT_EQ(faster.sourceOffset, 2);

    // 8 s at rate 1 is 2 s at rate 4.
    const Clip audio = clipIn(useCase.execute(song.id, 4.0), song.id);
    EXPECT_EQ(audio.timeRange.duration, 2);
}

TEST_F(SpeedUseCaseTest, DropsTransitionsAndFadeThatNoLongerFit) {
    const Clip shorter = clipIn(useCase.applyTo(engine.repository->load(), a.id, 2.0), a.id);
    // 3 s in + 3 s out no longer fit in 5 s; the fade ends at 6 s.
    EXPECT_FALSE(shorter.transitionIn || shorter.transitionOut || shorter.fadeRange);

    const Clip same = clipIn(useCase.applyTo(engine.repository->load(), a.id, 1.0), a.id);
    EXPECT_EQ(same, a);
}

TEST_F(SpeedUseCaseTest, SlowerClipMustNotRunIntoItsNeighbourOrPastTheEnd) {
    // 0.5 makes a 20 s clip, into b which starts at 15 s.
    expectEditError([&] { useCase.execute(a.id, 0.5); }, EditError::clipOverlap());
    // 10 s at 40 s becomes 22.2 s, past the 60 s end; exactly 60 s is fine.
    expectEditError([&] { useCase.execute(last.id, 0.45); }, EditError::exceedsMaxDuration());
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_EQ(clipIn(useCase.execute(last.id, 0.5), last.id).timeRange, (TimeRange{40, 20}));
    // Ending exactly where the next clip starts only touches it.
    EXPECT_EQ(clipIn(useCase.execute(b.id, 0.25), b.id).timeRange, (TimeRange{15, 25}));
}

TEST_F(SpeedUseCaseTest, RejectsRatesOutOfRangeAndClipsWithoutTime) {
    expectEditError([&] { useCase.execute(a.id, 8.0); }, EditError::invalidSpeed(8.0));
    expectEditError([&] { useCase.execute(a.id, 0.2); }, EditError::invalidSpeed(0.2));
    EXPECT_EQ(EditError::invalidSpeed(8.0).userMessage(),
              "Invalid speed value (8.0). Speed must be between 0.25 and 4.0.");
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_EQ(clipIn(useCase.execute(song.id, 0.25), song.id).timeRange.duration, 32);
}
