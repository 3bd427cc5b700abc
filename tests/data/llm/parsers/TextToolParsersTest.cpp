#include "data/llm/parsers/TextToolParsers.h"

#include "data/llm/MappingFixtures.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TextStyle styleWith(void (*change)(TextStyle&), TextStyle base = TextStyle::defaultStyle()) {
    change(base);
    return base;
}

} // namespace

TEST(TextToolParsers, AddTextFillsInItsDefaults) {
    MappingProject p;
    EXPECT_EQ(p.map("add_text", {}),
              EditCommand(EditCommand::AddText{"Sample Text", std::nullopt, 3.0, std::nullopt,
                                               std::nullopt}));
    // A text of the wrong type is the default text; a duration of the wrong type the default one.
    EXPECT_EQ(p.map("add_text", {{"target", N(5)}, {"duration", S("9")}, {"at", S("1")}}),
              EditCommand(EditCommand::AddText{"Sample Text", std::nullopt, 3.0, std::nullopt,
                                               std::nullopt}));
    EXPECT_EQ(
        p.map("add_text",
              {{"target", S("Hi")}, {"at", N(0)}, {"duration", N(1.5)}, {"position", S("top")}}),
        EditCommand(EditCommand::AddText{"Hi", 0.0, 1.5, TextPosition::top(), std::nullopt}));
    EXPECT_EQ(
        p.map("add_text", {{"textColor", S("ROUGE")}}),
        EditCommand(EditCommand::AddText{"Sample Text", std::nullopt, 3.0, std::nullopt,
                                         styleWith([](TextStyle& s) { s.textColor = "red"; })}));
}

TEST(TextToolParsers, AddTextRejectsBlankTextsAndBadTiming) {
    MappingProject p;
    const std::string tooLong(501, 'a');
    p.expectFailures(
        "add_text",
        {{{{"target", S("   ")}}, R"(invalidTextContent("   "))"},
         {{{"target", S(tooLong)}}, "invalidTextContent(\"" + tooLong + "\")"},
         {{{"duration", N(0)}}, R"(invalidParameterValue("duration", 0.0))"},
         {{{"duration", N(kNaN)}}, R"(invalidParameterValue("duration", nan))"},
         {{{"at", N(-1)}}, R"(invalidParameterValue("at", -1.0))"},
         // Text, then start, then duration, then position, then style.
         {{{"target", S("")}, {"at", N(-1)}}, R"(invalidTextContent(""))"},
         {{{"at", N(-1)}, {"duration", N(0)}}, R"(invalidParameterValue("at", -1.0))"},
         {{{"duration", N(-1)}, {"position", S("nowhere")}},
          R"(invalidParameterValue("duration", -1.0))"},
         {{{"fontSize", N(0)}, {"position", S("nowhere")}}, R"(invalidPosition("nowhere"))"}});
}

TEST(TextToolParsers, PositionsAreACustomPairOrAWord) {
    using TTP = TextToolParsers;
    EXPECT_EQ(TTP::parsePositionFields({}), std::nullopt);
    EXPECT_EQ(TTP::parsePositionFields({{"position", N(1)}}), std::nullopt);
    EXPECT_EQ(TTP::parsePositionFields({{"position", S("Oben")}}), TextPosition::top());
    EXPECT_EQ(TTP::parsePositionFields({{"position", S("中央")}}), TextPosition::center());
    EXPECT_EQ(TTP::parsePositionFields({{"position", S("Abajo")}}), TextPosition::bottom());
    EXPECT_EQ(TTP::parsePositionFields({{"positionX", N(1.0)}, {"positionY", N(0.0)}}),
              TextPosition::custom(1.0, 0.0));
    // A custom pair wins over the word, which is then not read at all.
    EXPECT_EQ(TTP::parsePositionFields(
                  {{"positionX", N(0.5)}, {"positionY", N(0.25)}, {"position", S("nowhere")}}),
              TextPosition::custom(0.5, 0.25));

    MappingProject p;
    const std::string both = R"(missingParameter("positionX and positionY must both be provided"))";
    p.expectFailures("add_text", {{{{"position", S("middle")}}, R"(invalidPosition("middle"))"},
                                  // The word is reported as received, not lowercased.
                                  {{{"position", S("MIDDLE")}}, R"(invalidPosition("MIDDLE"))"},
                                  {{{"positionX", N(0.5)}, {"position", S("top")}}, both},
                                  {{{"positionY", S("0.5")}}, both},
                                  {{{"positionX", N(0.5)}, {"positionY", JSONValue::null()}}, both},
                                  {{{"positionX", N(1.5)}, {"positionY", N(0.5)}},
                                   R"(invalidParameterValue("positionX", 1.5))"},
                                  // Finiteness of both before the ranges.
                                  {{{"positionX", N(1.5)}, {"positionY", N(kNaN)}},
                                   R"(invalidParameterValue("positionY", nan))"},
                                  {{{"positionX", N(0.5)}, {"positionY", N(-0.01)}},
                                   R"(invalidParameterValue("positionY", -0.01))"}});
}

TEST(TextToolParsers, StyleFieldsReplaceOnlyWhatIsGiven) {
    using TTP = TextToolParsers;
    TextStyle existing = styleWith([](TextStyle& s) {
        s.fontSize = 20;
        s.textColor = "blue";
        s.fontName = "Courier";
        s.boxWidth = 0.5;
    });
    EXPECT_EQ(TTP::parseTextStyleFields({}, existing), std::nullopt);
    EXPECT_EQ(TTP::parseTextStyleFields({{"fontSize", S("30")}, {"textColor", N(1)}}, existing),
              std::nullopt);

    auto full = TTP::parseTextStyleFields({{"fontSize", N(500)},
                                           {"textColor", S("Weiß")},
                                           {"strokeColor", S("黒")},
                                           {"strokeWidth", N(10)},
                                           {"fontName", S("  Georgia \n")},
                                           {"boxWidth", N(0.2)}},
                                          existing);
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(full->fontSize, 500);
    EXPECT_EQ(full->textColor, "white");
    EXPECT_EQ(full->strokeColor, "black");
    EXPECT_EQ(full->strokeWidth, 10);
    EXPECT_EQ(full->fontName, "Georgia");
    EXPECT_EQ(full->boxWidth, 0.2);

    EXPECT_EQ(TTP::parseTextStyleFields({{"strokeColor", S("Red")}}, existing),
              styleWith([](TextStyle& s) { s.strokeColor = "red"; }, existing));

    MappingProject p;
    p.expectFailures(
        "add_text",
        {{{{"fontSize", N(500.5)}}, R"(invalidParameterValue("fontSize", 500.5))"},
         {{{"fontSize", N(0.5)}}, R"(invalidParameterValue("fontSize", 0.5))"},
         {{{"boxWidth", N(0.19)}}, R"(invalidParameterValue("boxWidth", 0.19))"},
         {{{"strokeWidth", N(10.5)}}, R"(invalidParameterValue("strokeWidth", 10.5))"},
         {{{"textColor", S("magenta")}}, R"(invalidTextContent("magenta"))"},
         {{{"fontName", S(" ")}}, R"(invalidTextContent(" "))"},
         // Checked in the order size, text colour, stroke colour, stroke width, font, box.
         {{{"boxWidth", N(5)}, {"strokeColor", S("teal")}, {"textColor", S("cyan")}},
          R"(invalidTextContent("cyan"))"},
         {{{"boxWidth", N(5)}, {"fontName", S("")}, {"strokeWidth", N(-1)}},
          R"(invalidParameterValue("strokeWidth", -1.0))"}});
}

TEST(TextToolParsers, EditTextStartsFromTheClipsOwnStyle) {
    MappingProject p;
    EXPECT_EQ(p.map("edit_text_style", {{"target", S("Hello")}}),
              EditCommand(EditCommand::EditText{p.hello.id, std::nullopt, std::nullopt,
                                                std::nullopt, std::nullopt}));

    TextStyle restyled = *p.hello.textStyle;
    restyled.textColor = "green";
    EXPECT_EQ(p.map("edit_text_style", {{"target", S("Hello")},
                                        {"newText", S("Bye")},
                                        {"textColor", S("verde")},
                                        {"position", S("haut")},
                                        {"at", N(2)},
                                        {"duration", N(3)}}),
              EditCommand(EditCommand::EditText{p.hello.id, "Bye", TextPosition::top(), restyled,
                                                TimeRange{2, 3}}));

    // A text clip without a style of its own starts from the default style.
    EXPECT_EQ(p.map("edit_text_style", {{"target", S("Shared")}, {"fontSize", N(12)}}),
              EditCommand(EditCommand::EditText{p.sharedText.id, std::nullopt, std::nullopt,
                                                styleWith([](TextStyle& s) { s.fontSize = 12; }),
                                                std::nullopt}));
}

TEST(TextToolParsers, EditTextNeedsATextTargetAndBothTimingValues) {
    MappingProject p;
    auto hello = [](JSONObject extra) {
        extra["target"] = S("Hello");
        return extra;
    };
    p.expectFailures(
        "edit_text_style",
        {{{}, R"(missingParameter("target"))"},
         {{{"target", S("city.mov")}}, R"(targetNotFound("city.mov"))"},
         {{{"target", S("Nope")}, {"fontSize", N(0)}}, R"(targetNotFound("Nope"))"},
         {hello({{"duration", N(2)}}), R"(missingParameter("at"))"},
         {hello({{"at", N(2)}}), R"(missingParameter("duration"))"},
         {hello({{"at", N(2)}, {"duration", S("2")}}), R"(missingParameter("duration"))"},
         {hello({{"at", N(-2)}}), R"(invalidParameterValue("at", -2.0))"},
         {hello({{"at", N(2)}, {"duration", N(0)}}), R"(invalidParameterValue("duration", 0.0))"},
         {hello({{"newText", S("\n")}}), R"(invalidTextContent("\n"))"}});
    // A new text of the wrong type is no change.
    EXPECT_EQ(p.map("edit_text_style", {{"target", S("Hello")}, {"newText", N(1)}}),
              EditCommand(EditCommand::EditText{p.hello.id, std::nullopt, std::nullopt,
                                                std::nullopt, std::nullopt}));
}

TEST(TextToolParsers, TextMotionWordsAreExactAndEasingsDefault) {
    MappingProject p;
    using A = EditCommand::SetTextAnimation;
    EXPECT_EQ(p.map("set_text_motion", {{"target", S("Hello")}}),
              EditCommand(A{p.hello.id, std::nullopt, std::nullopt, std::nullopt,
                            EasingCurve::easeOut, EasingCurve::easeIn}));
    EXPECT_EQ(p.map("set_text_motion", {{"target", S("Hello")},
                                        {"entrance", S("wipeReveal_up")},
                                        {"exit", S("slideOut_right")},
                                        {"entranceEasing", S("linear")},
                                        {"exitEasing", S("easeInOut")}}),
              EditCommand(A{p.hello.id, TextEntranceType::wipeReveal(Direction::up),
                            TextExitType::slideOut(Direction::right), std::nullopt,
                            EasingCurve::linear, EasingCurve::easeInOut}));
    EXPECT_EQ(p.map("set_text_motion", {{"target", S("Hello")},
                                        {"entrance", S("slideIn_Left")},
                                        {"exit", S("fadeIn")},
                                        {"entranceEasing", S("springy")},
                                        {"exitEasing", N(1)}}),
              EditCommand(A{p.hello.id, std::nullopt, std::nullopt, std::nullopt,
                            EasingCurve::easeOut, EasingCurve::easeIn}));
    EXPECT_EQ(p.failure("set_text_motion", {{"target", S("city.mov")}}),
              R"(targetNotFound("city.mov"))");
    EXPECT_EQ(p.failure("set_text_motion", {{"entrance", S("popIn")}}),
              R"(missingParameter("target"))");

    using TTP = TextToolParsers;
    EXPECT_EQ(TTP::parseTextEntrance("popIn", {}), TextEntranceType::popIn());
    EXPECT_EQ(TTP::parseTextEntrance("bounceIn", {}), TextEntranceType::bounceIn());
    EXPECT_EQ(TTP::parseTextEntrance("slideIn_down", {}),
              TextEntranceType::slideIn(Direction::down));
    EXPECT_EQ(TTP::parseTextEntrance(std::nullopt, {}), std::nullopt);
    EXPECT_EQ(TTP::parseTextExit("wipeOut_left"), TextExitType::wipeOut(Direction::left));
    EXPECT_EQ(TTP::parseTextExit("bounceOut"), TextExitType::bounceOut());
    EXPECT_EQ(TTP::parseTextExit("popOut"), TextExitType::popOut());
    EXPECT_EQ(TTP::parseTextExit("slideOut"), std::nullopt);
}

TEST(TextToolParsers, LoopsTakeDefaultsAndCheckRangesAfterReadingBoth) {
    using TTP = TextToolParsers;
    EXPECT_EQ(TTP::parseTextLoop({{"loop", S("pulse")}}), TextLoopType::pulse(1.2, 1.0));
    EXPECT_EQ(TTP::parseTextLoop({{"loop", S("bounce")}}), TextLoopType::bounce(0.1, 0.5));
    EXPECT_EQ(TTP::parseTextLoop(
                  {{"loop", S("bounce")}, {"bounceAmplitude", N(0)}, {"bounceInterval", N(10)}}),
              TextLoopType::bounce(0, 10));
    EXPECT_EQ(TTP::parseTextLoop(
                  {{"loop", S("pulse")}, {"pulseScale", S("2")}, {"pulseInterval", N(0.1)}}),
              TextLoopType::pulse(1.2, 0.1));
    EXPECT_EQ(TTP::parseTextLoop({{"loop", S("Pulse")}, {"pulseScale", N(99)}}), std::nullopt);
    EXPECT_EQ(TTP::parseTextLoop({{"loop", N(1)}}), std::nullopt);
    EXPECT_EQ(TTP::parseTextLoop({{"pulseScale", N(99)}}), std::nullopt);

    MappingProject p;
    auto loop = [&](JSONObject extra) {
        extra["target"] = S("Hello");
        return extra;
    };
    p.expectFailures(
        "set_text_motion",
        {{loop({{"loop", S("pulse")}, {"pulseScale", N(3.5)}, {"pulseInterval", N(0)}}),
          R"(invalidParameterValue("pulseScale", 3.5))"},
         {loop({{"loop", S("pulse")}, {"pulseInterval", N(10.5)}}),
          R"(invalidParameterValue("pulseInterval", 10.5))"},
         {loop({{"loop", S("bounce")}, {"bounceAmplitude", N(0.6)}}),
          R"(invalidParameterValue("bounceAmplitude", 0.6))"},
         {loop({{"loop", S("bounce")}, {"bounceInterval", N(kNaN)}}),
          R"(invalidParameterValue("bounceInterval", nan))"}});
    // The other loop's parameters are not read.
    EXPECT_EQ(p.map("set_text_motion", loop({{"loop", S("bounce")}, {"pulseScale", N(99)}})),
              EditCommand(EditCommand::SetTextAnimation{
                  p.hello.id, std::nullopt, std::nullopt, TextLoopType::bounce(0.1, 0.5),
                  EasingCurve::easeOut, EasingCurve::easeIn}));
}
