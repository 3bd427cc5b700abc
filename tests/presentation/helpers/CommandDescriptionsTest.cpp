#include "presentation/helpers/CommandDescriptions.h"

#include "presentation/helpers/CommandStrings.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace vexel;

namespace {

// Without texts every summary falls back to its key with the values filled in,
// which shows exactly which key and values a command chose.
const StringTable noTexts{std::span<const StringTable::Entry>{}};

const Uuid id = Uuid::random();

EditCommand::EditText editText() {
    EditCommand::EditText edit;
    edit.textId = id;
    return edit;
}

struct Case {
    EditCommand command;
    std::string expected;
};

std::vector<Case> cases() {
    EditCommand::EditText onlyStyle = editText();
    onlyStyle.style = TextStyle{};
    EditCommand::EditText everything = editText();
    everything.text = "Hi";
    everything.position = TextPosition::top();
    everything.style = TextStyle{};
    everything.timeRange = TimeRange{1, 2.5};
    EditCommand::AddText addTextAt;
    addTextAt.text = "Title";
    addTextAt.at = 2;
    addTextAt.duration = 3;
    EditCommand::AddText addTextAnywhere;
    addTextAnywhere.text = "Title";
    addTextAnywhere.duration = 3;

    return {
        {EditCommand::Move{id, 75, Uuid::random()}, "command.moved 1:15"},
        {EditCommand::Trim{id, 2, 3.5}, "command.trimmed 2s 5s"},
        {EditCommand::Split{id, 65.4}, "command.split 1:05"},
        {EditCommand::Split{id, 59.9}, "command.split 59s"},
        // Percents are truncated, yet never lose a whole percent to binary
        // rounding (0.57 * 100 is 56.99999... in binary).
        {EditCommand::AdjustVolume{id, 0.756, TimeRange{0, 1}}, "command.volume 75"},
        {EditCommand::AdjustVolume{id, 0.57, std::nullopt}, "command.volume 57"},
        {EditCommand::Opacity{id, 0.29}, "command.opacity 29"},
        {EditCommand::Opacity{id, 0.999}, "command.opacity 99"},
        {EditCommand::ScaleText{id, 1.5}, "command.scaleText 150"},
        {EditCommand::ScaleText{id, 1.13}, "command.scaleText 113"},
        {EditCommand::AddClip{"beach.mov", TrackType::video, 4, "B-roll"},
         "command.addClipOnTrack beach.mov 4s B-roll"},
        {EditCommand::AddClip{"beach.mov", TrackType::video, 4, std::nullopt},
         "command.addClip beach.mov 4s"},
        {EditCommand::AddTrack{"Music", TrackType::audio}, "command.addTrackNamed Audio Music"},
        {EditCommand::AddTrack{std::nullopt, TrackType::image}, "command.addTrack Image"},
        {addTextAt, "command.addText Title 2s 3s"},
        {addTextAnywhere, "command.addTextNoDuration Title 3s"},
        {editText(), "command.editTextUpdated"},
        {onlyStyle, "command.editTextChanged command.editText.style"},
        {everything, "command.editTextChanged command.editText.text Hi, command.editText.position "
                     "top, command.editText.style, command.editText.timing 1s 3s"},
        {EditCommand::Speed{id, 2}, "command.speed 2.0"},
        {EditCommand::Speed{id, 0.3}, "command.speed 0.3"},
        {EditCommand::RotateFlip{id, std::nullopt, false, std::nullopt},
         "command.rotateFlipUpdated"},
        {EditCommand::RotateFlip{id, 90, true, true},
         "Command.rotated 90, command.flippedHorizontally, command.flippedVertically"},
        {EditCommand::Transition{id, 0, 0.5, TransitionType::fade(), std::nullopt},
         "command.transition command.fadeOut 0.5"},
        {EditCommand::Transition{id, 1, 2, std::nullopt, std::nullopt},
         "command.transition command.fadeIn 1.0, command.fadeOut 2.0"},
        {EditCommand::Transition{id, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
         "command.transitionCleared"},
        {EditCommand::Filter{id, "none", 0.5}, "command.filterRemoved"},
        {EditCommand::Filter{id, "", std::nullopt}, "command.filterRemoved"},
        {EditCommand::Filter{id, "sepia", 1.0}, "command.filterApplied sepia"},
        {EditCommand::Filter{id, "sepia", std::nullopt}, "command.filterApplied sepia"},
        {EditCommand::Filter{id, "noir", 0.5}, "command.filterAppliedIntensity noir 50"},
        {EditCommand::CrossDissolve{id, 0}, "command.crossDissolveRemoved"},
        {EditCommand::CrossDissolve{id, 1.5}, "command.crossDissolve 1.5"},
        {EditCommand::TransformImageOverlay{id, std::nullopt, std::nullopt, std::nullopt},
         "command.imageOverlayUpdated"},
        {EditCommand::TransformImageOverlay{id, std::nullopt, 0.5, std::nullopt},
         "command.imageOverlayRepositioned"},
        {EditCommand::TransformImageOverlay{id, std::nullopt, std::nullopt, 2},
         "command.imageOverlayRescaled"},
        {EditCommand::TransformImageOverlay{id, 0.1, std::nullopt, 2},
         "command.imageOverlayRepositionedAndRescaled"},
        {EditCommand::Export{ExportFormat::mov}, "command.export mov"},
        {EditCommand::RemoveClip{id}, "command.removeClip"},
        {EditCommand::Undo{}, "command.undo"},
    };
}

} // namespace

TEST(CommandDescriptionsTest, EachCaseChoosesItsKeyAndValues) {
    for (const Case& c : cases()) {
        EXPECT_EQ(summary(c.command, noTexts), c.expected);
    }
}

TEST(CommandDescriptionsTest, TheCommandsTableWordsEveryCase) {
    for (const Case& c : cases()) {
        const std::string text = summary(c.command);
        EXPECT_EQ(text.find("command."), std::string::npos) << text;
        EXPECT_EQ(text.find("%@"), std::string::npos) << text;
        EXPECT_EQ(text.find("%%"), std::string::npos) << text;
    }
    EXPECT_EQ(summary(EditCommand::AdjustVolume{id, 0.57, std::nullopt}), "Set volume to 57%");
    EXPECT_EQ(summary(EditCommand::RotateFlip{id, std::nullopt, true, true}),
              "Flipped horizontally, flipped vertically");
    EXPECT_EQ(buildCommandSummary({}), "No changes made.");
    EXPECT_EQ(buildCommandSummary({EditCommand::Split{id, 65.4}, EditCommand::Redo{}}),
              "Split clip at 1:05\nRedid the last change");
}

TEST(CommandDescriptionsTest, PlaceholdersTakeValuesInOrderOrByPosition) {
    const std::vector<std::string> values{"a", "%@b"};
    EXPECT_EQ(fillPlaceholders("%@ then %@", values), "a then %@b"); // values are not rescanned
    EXPECT_EQ(fillPlaceholders("%2$@ before %1$@, 100%%", values), "%@b before a, 100%");
    EXPECT_EQ(fillPlaceholders("%@ %@ %@ %3$@ 5% %", values), "a %@b %@ %3$@ 5% %");
    EXPECT_EQ(percentText(-0.57), "-57");
    EXPECT_EQ(percentText(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(percentText(1e300).substr(0, 4), "1000"); // whole digits, no cast out of range
}
