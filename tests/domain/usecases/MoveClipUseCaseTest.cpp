#include "domain/usecases/MoveClipUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct MoveClipUseCaseTest : ::testing::Test {
    Clip a = makeClip(0, 5);
    Clip b = makeClip(5, 5);
    Clip other = makeClip(20, 5);
    Clip music = makeClip(0, 30, TrackType::audio, "music.mp3");
    Track video1 = makeTrack(TrackType::video, "Video 1", {a, b});
    Track video2 = makeTrack(TrackType::video, "Video 2", {other});
    Track audio = makeTrack(TrackType::audio, "Audio 1", {music}, true);
    EditEngineHarness engine{Project{{video1, video2, audio}, 100}};
    UseCaseDriver<MoveClipUseCase> useCase{engine};

    Project move(const Uuid& clipId, double to, std::optional<Uuid> track = std::nullopt) {
        return engine.change([&] { return useCase.execute(clipId, to, track); });
    }
};

} // namespace

TEST_F(MoveClipUseCaseTest, MovesInTimeOnItsTrackAndUndoes) {
    const Project before = engine.repository->load();
    const Project after = move(a.id, 10);
    const Track& track = after.tracks[0];
    ASSERT_EQ(clipIds(track), (std::vector<Uuid>{a.id, b.id})); // keeps its place in the list
    EXPECT_EQ(track.clips[0].timeRange, (TimeRange{10, 5}));
    Clip expected = a;
    expected.timeRange = {10, 5};
    EXPECT_EQ(track.clips[0], expected); // nothing else changes
    engine.expectUndoable(before, after);
}

TEST_F(MoveClipUseCaseTest, OwnTrackIdMovesLikeNoTrack) {
    const Project withTrack = useCase.applyTo(engine.repository->load(), a.id, 12, video1.id, true);
    const Project withoutTrack = useCase.applyTo(engine.repository->load(), a.id, 12, {}, true);
    EXPECT_EQ(withTrack, withoutTrack);
    EXPECT_TRUE(engine.repository->saved.empty()); // applyTo is pure
}

TEST_F(MoveClipUseCaseTest, MovesOntoAnotherTrackOfItsTypeAndUndoes) {
    const Project before = engine.repository->load();
    const Project after = move(b.id, 10, video2.id);
    EXPECT_EQ(clipIds(after.tracks[0]), (std::vector<Uuid>{a.id}));
    ASSERT_EQ(clipIds(after.tracks[1]), (std::vector<Uuid>{other.id, b.id}));
    EXPECT_EQ(after.tracks[1].clips[1].timeRange, (TimeRange{10, 5}));
    engine.expectUndoable(before, after);
}

TEST_F(MoveClipUseCaseTest, EndAtMaxDurationIsTheLimit) {
    const Project after = useCase.execute(a.id, 95, std::nullopt);
    EXPECT_EQ(after.tracks[0].clips[0].timeRange.startTime, 95);
    const Project stored = engine.repository->load();
    engine.repository->saved.clear();
    expectEditError([&] { useCase.execute(a.id, 95.001, std::nullopt); },
                    EditError::exceedsMaxDuration());
    expectEditError(
        [&] { useCase.execute(a.id, std::numeric_limits<double>::quiet_NaN(), std::nullopt); },
        EditError::exceedsMaxDuration());
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_EQ(engine.repository->load(), stored);
}

TEST_F(MoveClipUseCaseTest, OverlapRulesOnSameAndOtherTrack) {
    expectEditError([&] { useCase.execute(a.id, 3, std::nullopt); }, EditError::clipOverlap());
    expectEditError([&] { useCase.execute(a.id, 18, video2.id); }, EditError::clipOverlap());
    EXPECT_TRUE(engine.repository->saved.empty());
    // Touching is no overlap, on either side; the clip never collides with itself.
    EXPECT_NO_THROW(useCase.execute(b.id, 6, std::nullopt));
    EXPECT_NO_THROW(useCase.execute(a.id, 11, std::nullopt));
    EXPECT_NO_THROW(useCase.execute(a.id, 1, std::nullopt));
    EXPECT_NO_THROW(useCase.execute(a.id, 25, video2.id));
    // Without the test (as in a batch) an overlap passes.
    const Project overlapping =
        useCase.applyTo(engine.repository->load(), a.id, 4, std::nullopt, false);
    EXPECT_EQ(overlapping.findClip(a.id)->timeRange.startTime, 4);
}

TEST_F(MoveClipUseCaseTest, FailsForUnknownClipUnknownTrackAndOtherType) {
    const Uuid missing = Uuid::random();
    expectEditError([&] { useCase.execute(a.id, 50, missing); }, EditError::trackNotFound(missing));
    expectEditError([&] { useCase.execute(music.id, 40, video2.id); },
                    EditError::trackTypeMismatch());
    // Checks run in order: the time limit comes before the target track.
    expectEditError([&] { useCase.execute(a.id, 99, missing); }, EditError::exceedsMaxDuration());
    EXPECT_TRUE(engine.repository->saved.empty());
}

TEST_F(MoveClipUseCaseTest, HandlesOnlyMoveCommands) {
    EXPECT_TRUE(useCase.canHandle(EditCommand::Move{a.id, 1, {}}));
    EXPECT_FALSE(useCase.canHandle(EditCommand::Trim{a.id, 0, 1}));
    const Project after =
        useCase.apply(EditCommand::Move{a.id, 40, video2.id}, engine.repository->load());
    EXPECT_EQ(after.findTrackContainingClip(a.id)->id, video2.id);
}
