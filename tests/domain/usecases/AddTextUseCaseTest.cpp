#include "domain/usecases/AddTextUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vexel;
using namespace vexel::testing;

TEST(AddTextUseCase, PlacesTextClipsOnTheFirstTextTrackAndUndoes) {
    EditEngineHarness engine{Project::makeNew(60)};
    const AddTextUseCase useCase(engine.repository);
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
    const Project next = useCase.execute("World", std::nullopt, 3, TextPosition::bottom(), {});
    EXPECT_EQ(next.tracks.back().clips.back().timeRange, (TimeRange{7, 3}));

    engine.repository->saved.clear();
    expectEditError([&] { useCase.execute("x", 8.0, 1, {}, {}); }, EditError::clipOverlap());
    expectEditError([&] { useCase.execute("x", 55.0, 5.5, {}, {}); },
                    EditError::exceedsMaxDuration());
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_NO_THROW(useCase.execute("x", 55.0, 5, {}, {})); // ends at the limit
}

// Found by fuzzing: a negative length slipped past the overlap test and left a
// text clip inside another.
TEST(AddTextUseCase, RefusesTextOfNoOrNegativeLength) {
    EditEngineHarness engine{Project::makeNew(60)};
    const AddTextUseCase useCase(engine.repository);
    useCase.execute("Hello", 0.0, 3, TextPosition::bottom(), {});
    engine.repository->saved.clear();
    for (double duration : {-10.0, 0.0, std::nan("")}) {
        expectEditError([&] { useCase.execute("", 1e-313, duration, {}, {}); },
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
