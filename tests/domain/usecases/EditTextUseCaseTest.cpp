#include "domain/usecases/EditTextUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct EditTextUseCaseTest : ::testing::Test {
    Clip hello = [] {
        Clip clip = makeClip(0, 4, TrackType::text, "Hello");
        clip.textPosition = TextPosition::top();
        clip.textStyle = TextStyle{64, "yellow", "black", 2, "Serif", 0.5};
        return clip;
    }();
    Clip world = makeClip(10, 4, TrackType::text, "World");
    Clip video = makeClip(0, 10);
    EditEngineHarness engine{Project{{makeTrack(TrackType::video, "Video 1", {video}),
                                      makeTrack(TrackType::text, "Text 1", {hello, world})},
                                     60}};

    Project run(const Uuid& id, std::optional<std::string> text,
                std::optional<TextPosition> position = {}, std::optional<TextStyle> style = {},
                std::optional<TimeRange> timeRange = {}) {
        EditCommand::EditText edit;
        edit.textId = id;
        edit.text = std::move(text);
        edit.position = position;
        edit.style = std::move(style);
        edit.timeRange = timeRange;
        return engine.executor.execute(edit);
    }
};

} // namespace

TEST_F(EditTextUseCaseTest, ReplacesOnlyWhatIsGiven) {
    const Project after = run(hello.id, "Bonjour", TextPosition::custom(0.2, 0.8));
    const Clip edited = clipIn(after, hello.id);
    EXPECT_EQ(edited.assetName, "Bonjour");
    EXPECT_EQ(edited.textPosition, TextPosition::custom(0.2, 0.8));
    EXPECT_EQ(edited.textStyle, hello.textStyle);
    EXPECT_EQ(edited.timeRange, hello.timeRange);
}

TEST_F(EditTextUseCaseTest, AStyleReplacesTheWholeStyle) {
    TextStyle plain;
    plain.fontSize = 30;
    const Clip edited = clipIn(run(hello.id, {}, {}, plain), hello.id);
    EXPECT_EQ(edited.textStyle, plain);
    EXPECT_EQ(edited.assetName, "Hello");
}

TEST_F(EditTextUseCaseTest, TextClipsMayBeMovedOntoEachOther) {
    const Project after = run(hello.id, {}, {}, {}, TimeRange{11, 2});
    EXPECT_EQ(clipIn(after, hello.id).timeRange, (TimeRange{11, 2}));
    EXPECT_EQ(clipIn(after, world.id).timeRange, world.timeRange);
}

TEST_F(EditTextUseCaseTest, OnlyTextClipsAreFoundAndTheRangeMustFitTheProject) {
    expectEditError([&] { run(video.id, "x"); }, EditError::clipNotFound(video.id));
    expectEditError(
        [&] {
            run(hello.id, {}, {}, {}, TimeRange{58, 2.5});
        },
        EditError::exceedsMaxDuration());
    // Nor may it start at a time the project file cannot hold.
    expectEditError(
        [&] {
            run(hello.id, {}, {}, {}, TimeRange{-std::numeric_limits<double>::infinity(), 2});
        },
        EditError::exceedsMaxDuration());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const TimeRange& range : {TimeRange{5, 0}, TimeRange{5, -1}, TimeRange{5, nan}}) {
        expectEditError([&] { run(hello.id, {}, {}, {}, range); }, EditError::invalidTimeRange());
    }
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_NO_THROW(run(hello.id, {}, {}, {}, TimeRange{58, 2}));

    // A clip already past the end fails even when only its text changes.
    Clip late = world;
    late.timeRange = TimeRange{59, 4};
    engine.repository->save(engine.repository->load().replacingClip(late));
    expectEditError([&] { run(world.id, "x"); }, EditError::exceedsMaxDuration());
}
