#include "domain/usecases/DuplicateClipUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct DuplicateClipUseCaseTest : ::testing::Test {
    Clip a = [] {
        Clip clip = makeClip(0, 4, TrackType::audio, "song.mp3");
        clip.volume = 0.3;
        clip.fadeRange = TimeRange{0, 1};
        clip.transitionIn = TransitionEffect{1, TransitionType::fade(), EasingCurve::linear};
        return clip;
    }();
    Clip b = makeClip(10, 4, TrackType::audio, "other.mp3");
    Track audio = makeTrack(TrackType::audio, "Audio 1", {a, b}, true);
    Track text =
        makeTrack(TrackType::text, "Text 1", {makeClip(0, 4, TrackType::text, "song_3.mp3")});
    EditEngineHarness engine{Project{{text, audio}, 30}};
    UseCaseDriver<DuplicateClipUseCase> useCase{engine};
};

} // namespace

TEST_F(DuplicateClipUseCaseTest, CopiesRightAfterTheClipOnItsTrackAndUndoes) {
    const Project before = engine.repository->load();
    const Project after = engine.change([&] { return useCase.execute(a.id, std::nullopt); });
    const auto& clips = after.tracks[1].clips;
    ASSERT_EQ(clips.size(), 3u);
    const Clip& copy = clips[2]; // appended at the end of the list
    EXPECT_NE(copy.id, a.id);
    // Names on every track count: the text clip carries song_3.mp3.
    EXPECT_EQ(copy.assetName, "song_4.mp3");
    EXPECT_EQ(copy.timeRange, (TimeRange{4, 4}));
    Clip expected = a;
    expected.id = copy.id;
    expected.assetName = copy.assetName;
    expected.timeRange = copy.timeRange;
    EXPECT_EQ(copy, expected); // effects, fade and transitions come along
    engine.expectUndoable(before, after);
}

TEST_F(DuplicateClipUseCaseTest, PlacesAtAGivenStartAndChecksRoom) {
    const Project after = useCase.execute(a.id, 20.0);
    EXPECT_EQ(after.tracks[1].clips.back().timeRange, (TimeRange{20, 4}));
    engine.repository->saved.clear();

    expectEditError([&] { useCase.execute(a.id, 8.0); }, EditError::clipOverlap());
    expectEditError([&] { useCase.execute(a.id, 2.0); }, EditError::clipOverlap()); // itself
    expectEditError([&] { useCase.execute(b.id, 26.5); }, EditError::exceedsMaxDuration());
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_NO_THROW(useCase.execute(b.id, 26.0)); // ends exactly at the limit
}

TEST_F(DuplicateClipUseCaseTest, CopyAfterAClipWithANeighbourOverlaps) {
    useCase.execute(a.id, 6.0); // 6..10, touching b
    // Right after a (4..8) now lies on the first copy.
    expectEditError([&] { useCase.execute(a.id, std::nullopt); }, EditError::clipOverlap());
}
