#include "presentation/helpers/TutorialStep.h"

#include "domain/entities/ModelFixtures.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

TEST(TutorialStepTest, StepsAreNumberedInOrderAndNothingElseIsAStep) {
    for (int raw = 0; raw < 7; ++raw) {
        ASSERT_TRUE(tutorialStep(raw));
        EXPECT_EQ(rawValue(*tutorialStep(raw)), raw);
    }
    EXPECT_EQ(tutorialStep(-1), std::nullopt);
    EXPECT_EQ(tutorialStep(7), std::nullopt);
    EXPECT_EQ(tutorialStep(3), TutorialStep::addTextChat);
}

TEST(TutorialStepTest, EachStepHasItsTextsIconAndEdits) {
    const StringTable noTexts{std::span<const StringTable::Entry>{}};
    struct Expected {
        TutorialStep step;
        std::string guidance;
        std::optional<std::string> prefill;
        std::optional<std::string> bonusHint;
        std::optional<std::string> hardcodedResponse;
        bool builds;
        std::string icon;
    };
    const std::vector<Expected> table{
        {TutorialStep::welcome, "welcome.guidance", {}, {}, {}, false, "hand.wave.fill"},
        {TutorialStep::splitChat,
         "split.guidance",
         "split.prefill",
         "split.bonusHint",
         {},
         true,
         "text.bubble.fill"},
        {TutorialStep::fadeInChat,
         "fadeIn.guidance",
         "fadeIn.prefill",
         "fadeIn.bonusHint",
         {},
         true,
         "text.bubble.fill"},
        {TutorialStep::addTextChat,
         "addText.guidance",
         "addText.prefill",
         {},
         {},
         true,
         "text.bubble.fill"},
        {TutorialStep::exportVideo,
         "export.guidance",
         "export.prefill",
         {},
         {},
         false,
         "square.and.arrow.up.fill"},
        {TutorialStep::exploreHint,
         "explore.guidance",
         "explore.prefill",
         {},
         "explore.hardcodedResponse",
         false,
         "text.bubble.fill"},
        {TutorialStep::complete, "", {}, {}, {}, false, "text.bubble.fill"},
    };
    for (const Expected& expected : table) {
        const TutorialStepConfig config = TutorialStepConfig::of(expected.step, noTexts);
        EXPECT_EQ(config.guidanceText, expected.guidance);
        EXPECT_EQ(config.prefillText, expected.prefill);
        EXPECT_EQ(config.bonusHint, expected.bonusHint);
        EXPECT_EQ(config.hardcodedResponse, expected.hardcodedResponse);
        EXPECT_EQ(static_cast<bool>(config.commandBuilder), expected.builds);
        EXPECT_EQ(config.iconName, expected.icon);
        // The compiled-in table words every key the step shows.
        for (const std::optional<std::string>& key :
             {std::optional(expected.guidance), expected.prefill, expected.bonusHint,
              expected.hardcodedResponse}) {
            if (key && !key->empty()) {
                EXPECT_TRUE(tutorialStrings().contains(*key)) << *key;
            }
        }
    }
    EXPECT_EQ(TutorialStepConfig::configs(noTexts).size(), 6u);

    // The edits: the first video clip is split at 3 s and faded in over 0.3 s;
    // the title goes in the centre for the first 3 s, video or not.
    const Clip song = makeClip(0, 10, TrackType::audio, "song.mp3");
    const Clip first = makeClip(0, 10, TrackType::video, "a.mov");
    const Clip second = makeClip(10, 5, TrackType::video, "b.mov");
    const Project noVideo{{makeTrack(TrackType::audio, "Audio 1", {song})}, 3600};
    const Project video{{makeTrack(TrackType::audio, "Audio 1", {song}),
                         makeTrack(TrackType::video, "Video 1", {first, second})},
                        3600};
    const auto build = [&](TutorialStep step, const Project& project) {
        return TutorialStepConfig::of(step, noTexts).commandBuilder(project);
    };
    EXPECT_TRUE(build(TutorialStep::splitChat, noVideo).empty());
    EXPECT_TRUE(build(TutorialStep::fadeInChat, noVideo).empty());
    EXPECT_EQ(build(TutorialStep::splitChat, video),
              (std::vector<EditCommand>{EditCommand::Split{first.id, 3.0}}));
    EXPECT_EQ(build(TutorialStep::fadeInChat, video),
              (std::vector<EditCommand>{EditCommand::Transition{first.id, 0.3, std::nullopt,
                                                                std::nullopt, std::nullopt}}));
    EditCommand::AddText title;
    title.text = "addText.videoText";
    title.at = 0;
    title.duration = 3;
    title.position = TextPosition::center();
    EXPECT_EQ(build(TutorialStep::addTextChat, noVideo), std::vector<EditCommand>{title});
}
