#include "domain/usecases/AddTextUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vexel;
using namespace vexel::testing;

TEST(AddTextUseCase, PlacesTextClipsOnTheFirstTextTrackAndUndoes) {
    EditEngineHarness engine{Project::makeNew(60)};
    UseCaseDriver<AddTextUseCase> useCase(engine);
    TextStyle style;
    style.fontSize = 30;
    style.textColor = "yellow";

    const Project before = engine.repository->load();
    const Project after =
        engine.change([&] { return useCase.execute("Hello", 2.0, 5, TextPosition::top(), style); });
    ASSERT_EQ(after.tracks.size(), 4u);
    const Track& text = after.tracks.back();
    EXPECT_EQ(text.name, "Text 1");
    ASSERT_EQ(text.clips.size(), 1u);
    Clip expected;
    expected.id = text.clips[0].id;
    expected.assetName = "Hello";
    expected.trackType = TrackType::text;
    expected.timeRange = {2, 5};
    expected.volume = 0;
    expected.textPosition = TextPosition::top();
    expected.textStyle = style;
    EXPECT_EQ(text.clips[0], expected);
    engine.expectUndoable(before, after);

    // Without a start it goes after the last text clip.
    const Project next =
        useCase.execute("World", std::nullopt, 3, TextPosition::bottom(), std::nullopt);
    EXPECT_EQ(next.tracks.back().clips.back().timeRange, (TimeRange{7, 3}));

    engine.repository->saved.clear();
    expectEditError([&] { useCase.execute("x", 8.0, 1, std::nullopt, std::nullopt); },
                    EditError::clipOverlap());
    expectEditError([&] { useCase.execute("x", 55.0, 5.5, std::nullopt, std::nullopt); },
                    EditError::exceedsMaxDuration());
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_NO_THROW(useCase.execute("x", 55.0, 5, std::nullopt, std::nullopt)); // ends at the limit
}

// Found by fuzzing: a negative length slipped past the overlap test and left a
// text clip inside another.
TEST(AddTextUseCase, RefusesTextOfNoOrNegativeLength) {
    EditEngineHarness engine{Project::makeNew(60)};
    UseCaseDriver<AddTextUseCase> useCase(engine);
    useCase.execute("Hello", 0.0, 3, TextPosition::bottom(), std::nullopt);
    engine.repository->saved.clear();
    for (double duration : {-10.0, 0.0, std::nan("")}) {
        expectEditError([&] { useCase.execute("", 1e-313, duration, std::nullopt, std::nullopt); },
                        EditError::invalidTimeRange());
    }
    EXPECT_TRUE(engine.repository->saved.empty());
}

TEST(AddTextUseCase, CommandDefaultsToBottomAndTheDefaultStyle) {
    EditEngineHarness engine{Project{{}, 60}};
    const Project after = engine.executor.execute(EditCommand::AddText{"Hi", {}, 5.0, {}, {}});
    const Clip& clip = after.tracks.at(0).clips.at(0);
    EXPECT_EQ(clip.timeRange, (TimeRange{0, 5}));
    EXPECT_EQ(clip.textPosition, TextPosition::bottom());
    const TextStyle expected{48, "white", "white", 0, std::nullopt, std::nullopt};
    EXPECT_EQ(clip.textStyle, expected);
}

// Found by fuzzing: a text too short to move its end past its start passed the
// overlap test against a clip starting at the same time and landed inside it;
// the end check of every later batch then saw the overlap and failed.
TEST(AddTextUseCase, TextStartingWithAnotherOverlapsItWhateverItsLength) {
    EditEngineHarness engine{Project::makeNew(60)};
    UseCaseDriver<AddTextUseCase> useCase(engine);
    useCase.execute("Title", 20.5, 4.5, TextPosition::bottom(), std::nullopt);
    const Project stored = engine.repository->load();
    expectEditError(
        [&] { useCase.execute("x", 20.5, 4.3e-124, TextPosition::bottom(), std::nullopt); },
        EditError::clipOverlap());
    // Nor inside a batch, where the second text would start with the first.
    expectEditError(
        [&] {
            engine.executor.executeBatch(
                {EditCommand::AddText{"a", 40.0, 4.3e-124, std::nullopt, std::nullopt},
                 EditCommand::AddText{"b", 40.0, 2.0, std::nullopt, std::nullopt}});
        },
        EditError::clipOverlap());
    // No start the project file cannot hold either.
    expectEditError(
        [&] {
            useCase.execute("x", -std::numeric_limits<double>::infinity(), 1.0,
                            TextPosition::bottom(), std::nullopt);
        },
        EditError::exceedsMaxDuration());
    EXPECT_EQ(engine.repository->current(), stored);
    // Nothing slipped in, so a later batch is not refused for it.
    EXPECT_NO_THROW(engine.executor.executeBatch(
        {EditCommand::AddText{"Later", 30.0, 2.0, std::nullopt, std::nullopt}}));
}
