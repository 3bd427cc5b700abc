#include "presentation/viewmodels/TextInspectorState.h"

#include "domain/entities/ModelFixtures.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

Clip textClip(std::string text = "Hello") {
    return makeClip(0, 4, TrackType::text, std::move(text));
}

TextStyle styleWith(const std::function<void(TextStyle&)>& change) {
    TextStyle style;
    change(style);
    return style;
}

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

} // namespace

TEST(TextInspectorStateTest, RefusesEmptyAndOverlongTexts) {
    const std::optional<std::string> empty = "Text cannot be empty.";
    const std::optional<std::string> tooLong = "Text exceeds 500 byte limit.";
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"", empty},
        {"  \n\t \r\n", empty},
        // A no-break space and a line separator are white space too.
        {"\u00A0\u2028", empty},
        {"a", std::nullopt},
        {repeated("a", 500), std::nullopt},
        {repeated("a", 501), tooLong},
        // The white space around the text counts: it would be stored.
        {" " + repeated("a", 499) + " ", tooLong},
        // 200 characters of three bytes each.
        {repeated("\u20AC", 200), tooLong},
        {repeated("\u20AC", 166) + "ab", std::nullopt},
    };
    TextInspectorState state(textClip(), {});
    for (const auto& [text, expected] : cases) {
        state.setText(text);
        EXPECT_EQ(state.textValidationError(), expected) << text.size() << " bytes";
    }
}

TEST(TextInspectorStateTest, OpensOnTheClipOrTheDefaultStyle) {
    const TextInspectorState bare(textClip(), {});
    EXPECT_EQ(bare.text(), "Hello");
    EXPECT_EQ(bare.fontSize(), 48);
    EXPECT_EQ(bare.textColor(), "white");
    EXPECT_EQ(bare.strokeColor(), "white");
    EXPECT_EQ(bare.strokeWidth(), 0);
    EXPECT_EQ(bare.fontName(), "");
    EXPECT_EQ(bare.boxWidth(), 0.96);
    EXPECT_EQ(bare.position(), TextPosition::bottom());
    EXPECT_EQ(bare.fontSearchText(), QString());
    EXPECT_FALSE(bare.showFontPicker());
    EXPECT_FALSE(bare.hasChanges());
    EXPECT_TRUE(bare.buildEditCommands().empty());

    Clip styled = textClip();
    styled.textStyle = TextStyle{64, "red", "black", 2, "DejaVu Serif", 0.5};
    styled.textPosition = TextPosition::custom(0.3, 0.8);
    const TextInspectorState state(styled, {});
    EXPECT_EQ(state.fontSize(), 64);
    EXPECT_EQ(state.textColor(), "red");
    EXPECT_EQ(state.fontName(), "DejaVu Serif");
    EXPECT_EQ(state.boxWidth(), 0.5);
    EXPECT_EQ(state.position(), TextPosition::custom(0.3, 0.8));
    EXPECT_FALSE(state.hasChanges());
    EXPECT_NE(state.id(), bare.id());
}

TEST(TextInspectorStateTest, SendsOnlyThePartsThatDifferWithTheWholeStyle) {
    struct Case {
        std::string name;
        std::function<void(Clip&)> setUp;
        std::function<void(TextInspectorState&)> edit;
        std::optional<std::string> text = std::nullopt;
        std::optional<TextPosition> position = std::nullopt;
        std::optional<TextStyle> style = std::nullopt;
    };
    const auto none = [](Clip&) {};
    const std::vector<Case> cases = {
        {"nothing touched", none, [](TextInspectorState&) {}},
        {"the size of a clip without style", none,
         [](TextInspectorState& state) { state.setFontSize(64); }, std::nullopt, std::nullopt,
         styleWith([](TextStyle& style) { style.fontSize = 64; })},
        {"a text typed and typed back", none,
         [](TextInspectorState& state) {
             state.setText("Goodbye");
             state.setText("Hello");
         }},
        {"a text with white space around it is sent as typed", none,
         [](TextInspectorState& state) { state.setText(" Hello "); }, " Hello "},
        {"bottom is where a clip without position already is", none,
         [](TextInspectorState& state) { state.setPosition(TextPosition::bottom()); }},
        {"top", none, [](TextInspectorState& state) { state.setPosition(TextPosition::top()); },
         std::nullopt, TextPosition::top()},
        {"a custom point moved by a hair",
         [](Clip& clip) { clip.textPosition = TextPosition::custom(0.3, 0.8); },
         [](TextInspectorState& state) { state.setPosition(TextPosition::custom(0.3, 0.8000001)); },
         std::nullopt, TextPosition::custom(0.3, 0.8000001)},
        {"the default font instead of a named one",
         [](Clip& clip) {
             clip.textStyle = styleWith([](TextStyle& style) { style.fontName = "DejaVu Serif"; });
         },
         [](TextInspectorState& state) { state.setFontName(""); }, std::nullopt, std::nullopt,
         TextStyle{}},
        {"a width the slider cannot tell from the default", none,
         [](TextInspectorState& state) { state.setBoxWidth(0.9605); }},
        {"a width of 0.95", none, [](TextInspectorState& state) { state.setBoxWidth(0.95); },
         std::nullopt, std::nullopt, styleWith([](TextStyle& style) { style.boxWidth = 0.95; })},
        // A stored width near the default is the clip's own: it is neither
        // dropped nor rewritten when something else changes.
        {"a stored 0.9604 untouched",
         [](Clip& clip) {
             clip.textStyle = styleWith([](TextStyle& style) { style.boxWidth = 0.9604; });
         },
         [](TextInspectorState&) {}},
        {"a stored 0.9604 beside a new colour",
         [](Clip& clip) {
             clip.textStyle = styleWith([](TextStyle& style) { style.boxWidth = 0.9604; });
         },
         [](TextInspectorState& state) { state.setTextColor("yellow"); }, std::nullopt,
         std::nullopt, styleWith([](TextStyle& style) {
             style.boxWidth = 0.9604;
             style.textColor = "yellow";
         })},
        {"the default width on a clip stored narrower",
         [](Clip& clip) {
             clip.textStyle = styleWith([](TextStyle& style) { style.boxWidth = 0.5; });
         },
         [](TextInspectorState& state) { state.setBoxWidth(0.9605); }, std::nullopt, std::nullopt,
         TextStyle{}},
        {"the font list's search and visibility are no edit", none,
         [](TextInspectorState& state) {
             state.setFontSearchText(QStringLiteral("sans"));
             state.setShowFontPicker(true);
         }},
    };
    for (const Case& c : cases) {
        Clip clip = textClip();
        c.setUp(clip);
        TextInspectorState state(clip, {});
        c.edit(state);
        const bool changed = c.text || c.position || c.style;
        EXPECT_EQ(state.hasChanges(), changed) << c.name;
        const EditCommand::EditText edit = state.buildEditCommand();
        EXPECT_EQ(edit.textId, clip.id) << c.name;
        EXPECT_EQ(edit.text, c.text) << c.name;
        EXPECT_EQ(edit.position, c.position) << c.name;
        EXPECT_EQ(edit.style, c.style) << c.name;
        EXPECT_EQ(edit.timeRange, std::nullopt) << c.name;
        EXPECT_EQ(state.buildEditCommands(),
                  changed ? std::vector<EditCommand>{edit} : std::vector<EditCommand>{})
            << c.name;
    }
}

TEST(TextInspectorStateTest, FiltersTheFamiliesByTheSearchInAnyCase) {
    const QStringList families = {
        "",        "DejaVu Sans", "DejaVu Sans Mono", "Liberation Serif", "Noto SANS",
        "Sansita", "Ubuntu"};
    TextInspectorState state(textClip(), families);
    EXPECT_EQ(state.filteredFontFamilies(), families);

    state.setFontSearchText(QStringLiteral("sans"));
    EXPECT_EQ(state.filteredFontFamilies(),
              (QStringList{"DejaVu Sans", "DejaVu Sans Mono", "Noto SANS", "Sansita"}));
    // Not trimmed: the space is part of what is looked for.
    state.setFontSearchText(QStringLiteral(" sans"));
    EXPECT_EQ(state.filteredFontFamilies(),
              (QStringList{"DejaVu Sans", "DejaVu Sans Mono", "Noto SANS"}));
    state.setFontSearchText(QStringLiteral("zzz"));
    EXPECT_TRUE(state.filteredFontFamilies().isEmpty());
    state.setFontSearchText(QString());
    EXPECT_EQ(state.filteredFontFamilies().front(), QString());
}

TEST(TextInspectorStateTest, TellsOnlyOfRealChanges) {
    TextInspectorState state(textClip(), {});
    QSignalSpy text(&state, &TextInspectorState::textChanged);
    QSignalSpy position(&state, &TextInspectorState::positionChanged);
    QSignalSpy size(&state, &TextInspectorState::fontSizeChanged);
    state.setText("Hello");
    state.setPosition(TextPosition::bottom());
    state.setFontSize(48);
    EXPECT_EQ(text.count() + position.count() + size.count(), 0);
    state.setPosition(TextPosition::custom(0.5, 0.5));
    state.setPosition(TextPosition::custom(0.5, 0.5));
    state.setPosition(TextPosition::custom(0.5, 0.6));
    EXPECT_EQ(position.count(), 2);
}
