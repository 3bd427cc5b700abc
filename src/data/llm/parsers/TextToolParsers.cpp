#include "data/llm/parsers/TextToolParsers.h"

#include "data/llm/LLMResponseParserError.h"
#include "data/llm/ParameterValidator.h"
#include "data/llm/ToolCallMapper.h"
#include "data/llm/parsers/ToolInput.h"
#include "domain/entities/EasingCurve.h"
#include "foundation/UnicodeText.h"

#include <array>
#include <string_view>
#include <utility>

namespace vexel {

namespace {

constexpr std::string_view defaultText = "Sample Text";
constexpr double defaultTextDuration = 3.0;

// A colour that passed validation, stored as one of the ten English names.
std::string checkedColor(const std::string& name) {
    ParameterValidator::validateColorName(name);
    return ParameterValidator::normalizeColorName(name).value_or(name);
}

EasingCurve easingOr(const JSONObject& input, std::string_view key, EasingCurve fallback) {
    if (auto word = toolinput::optionalString(input, key)) {
        return easingCurveFromRaw(*word).value_or(fallback);
    }
    return fallback;
}

template <typename Result, std::size_t N>
std::optional<Result> lookUp(const std::array<std::pair<std::string_view, Result>, N>& words,
                             const std::optional<std::string>& word) {
    if (!word) {
        return std::nullopt;
    }
    for (const auto& [name, result] : words) {
        if (name == *word) {
            return result;
        }
    }
    return std::nullopt;
}

} // namespace

EditCommand TextToolParsers::parseAddText(const JSONObject& input) {
    std::string text =
        toolinput::optionalString(input, "target").value_or(std::string(defaultText));
    ParameterValidator::validateTextContent(text);

    auto at = toolinput::optionalNumber(input, "at");
    if (at) {
        toolinput::requireNonNegative("at", *at);
    }
    double duration = toolinput::optionalNumber(input, "duration").value_or(defaultTextDuration);
    toolinput::requirePositive("duration", duration);

    auto position = parsePositionFields(input);
    auto style = parseTextStyleFields(input, TextStyle::defaultStyle());
    return EditCommand::AddText{std::move(text), at, duration, position, std::move(style)};
}

EditCommand TextToolParsers::parseEditText(const JSONObject& input, const Project& context) {
    std::string target = toolinput::requiredString(input, "target");
    Uuid textId = ToolCallMapper::resolveTextClipId(target, context);
    const Clip* clip = context.findClip(textId);
    if (clip == nullptr) {
        throw LLMResponseParserError::targetNotFound(std::move(target));
    }
    TextStyle existing = clip->textStyle.value_or(TextStyle::defaultStyle());

    auto newText = toolinput::optionalString(input, "newText");
    if (newText) {
        ParameterValidator::validateTextContent(*newText);
    }
    auto position = parsePositionFields(input);
    auto style = parseTextStyleFields(input, existing);

    std::optional<TimeRange> timeRange;
    auto at = toolinput::optionalNumber(input, "at");
    if (at) {
        toolinput::requireNonNegative("at", *at);
        double duration = toolinput::requiredNumber(input, "duration");
        toolinput::requirePositive("duration", duration);
        timeRange = TimeRange{*at, duration};
    } else if (toolinput::optionalNumber(input, "duration")) {
        throw LLMResponseParserError::missingParameter("at");
    }
    return EditCommand::EditText{textId, std::move(newText), position, std::move(style), timeRange};
}

EditCommand TextToolParsers::parseSetTextAnimation(const JSONObject& input,
                                                   const Project& context) {
    Uuid clipId =
        ToolCallMapper::resolveTextClipId(toolinput::requiredString(input, "target"), context);
    auto entrance = parseTextEntrance(toolinput::optionalString(input, "entrance"), input);
    auto exit = parseTextExit(toolinput::optionalString(input, "exit"));
    auto loop = parseTextLoop(input);
    return EditCommand::SetTextAnimation{clipId,
                                         entrance,
                                         exit,
                                         loop,
                                         easingOr(input, "entranceEasing", EasingCurve::easeOut),
                                         easingOr(input, "exitEasing", EasingCurve::easeIn)};
}

std::optional<TextPosition> TextToolParsers::parsePositionFields(const JSONObject& input) {
    auto x = toolinput::optionalNumber(input, "positionX");
    auto y = toolinput::optionalNumber(input, "positionY");
    if (x && y) {
        toolinput::requireFinite("positionX", *x);
        toolinput::requireFinite("positionY", *y);
        toolinput::requireInRange("positionX", *x, 0, 1);
        toolinput::requireInRange("positionY", *y, 0, 1);
        return TextPosition::custom(*x, *y);
    }
    if (toolinput::has(input, "positionX") || toolinput::has(input, "positionY")) {
        throw LLMResponseParserError::missingParameter(
            "positionX and positionY must both be provided");
    }
    auto word = toolinput::optionalString(input, "position");
    if (!word) {
        return std::nullopt;
    }
    auto position = ToolCallMapper::lookUpPosition(*word);
    if (!position) {
        throw LLMResponseParserError::invalidPosition(std::move(*word));
    }
    return position;
}

std::optional<TextStyle> TextToolParsers::parseTextStyleFields(const JSONObject& input,
                                                               const TextStyle& existing) {
    auto fontSize = toolinput::optionalNumber(input, "fontSize");
    auto textColor = toolinput::optionalString(input, "textColor");
    auto strokeColor = toolinput::optionalString(input, "strokeColor");
    auto strokeWidth = toolinput::optionalNumber(input, "strokeWidth");
    auto fontName = toolinput::optionalString(input, "fontName");
    auto boxWidth = toolinput::optionalNumber(input, "boxWidth");
    if (!fontSize && !textColor && !strokeColor && !strokeWidth && !fontName && !boxWidth) {
        return std::nullopt;
    }

    TextStyle style = existing;
    if (fontSize) {
        toolinput::requireInRange("fontSize", *fontSize, 1, 500);
        style.fontSize = *fontSize;
    }
    if (textColor) {
        style.textColor = checkedColor(*textColor);
    }
    if (strokeColor) {
        style.strokeColor = checkedColor(*strokeColor);
    }
    if (strokeWidth) {
        toolinput::requireInRange("strokeWidth", *strokeWidth, 0, 10);
        style.strokeWidth = *strokeWidth;
    }
    if (fontName) {
        ParameterValidator::validateFontName(*fontName);
        style.fontName = unicode::trimmingWhitespaceAndNewlines(*fontName);
    }
    if (boxWidth) {
        toolinput::requireInRange("boxWidth", *boxWidth, 0.2, 1.0);
        style.boxWidth = *boxWidth;
    }
    return style;
}

std::optional<TextEntranceType>
TextToolParsers::parseTextEntrance(const std::optional<std::string>& word,
                                   const JSONObject& /*input*/) {
    static const std::array<std::pair<std::string_view, TextEntranceType>, 12> words = {{
        {"slideIn_left", TextEntranceType::slideIn(Direction::left)},
        {"slideIn_right", TextEntranceType::slideIn(Direction::right)},
        {"slideIn_up", TextEntranceType::slideIn(Direction::up)},
        {"slideIn_down", TextEntranceType::slideIn(Direction::down)},
        {"wipeReveal_left", TextEntranceType::wipeReveal(Direction::left)},
        {"wipeReveal_right", TextEntranceType::wipeReveal(Direction::right)},
        {"wipeReveal_up", TextEntranceType::wipeReveal(Direction::up)},
        {"wipeReveal_down", TextEntranceType::wipeReveal(Direction::down)},
        {"scaleIn", TextEntranceType::scaleIn()},
        {"popIn", TextEntranceType::popIn()},
        {"bounceIn", TextEntranceType::bounceIn()},
        {"fadeIn", TextEntranceType::fadeIn()},
    }};
    return lookUp(words, word);
}

std::optional<TextExitType> TextToolParsers::parseTextExit(const std::optional<std::string>& word) {
    static const std::array<std::pair<std::string_view, TextExitType>, 12> words = {{
        {"slideOut_left", TextExitType::slideOut(Direction::left)},
        {"slideOut_right", TextExitType::slideOut(Direction::right)},
        {"slideOut_up", TextExitType::slideOut(Direction::up)},
        {"slideOut_down", TextExitType::slideOut(Direction::down)},
        {"wipeOut_left", TextExitType::wipeOut(Direction::left)},
        {"wipeOut_right", TextExitType::wipeOut(Direction::right)},
        {"wipeOut_up", TextExitType::wipeOut(Direction::up)},
        {"wipeOut_down", TextExitType::wipeOut(Direction::down)},
        {"scaleOut", TextExitType::scaleOut()},
        {"fadeOut", TextExitType::fadeOut()},
        {"popOut", TextExitType::popOut()},
        {"bounceOut", TextExitType::bounceOut()},
    }};
    return lookUp(words, word);
}

std::optional<TextLoopType> TextToolParsers::parseTextLoop(const JSONObject& input) {
    auto word = toolinput::optionalString(input, "loop");
    auto numberOr = [&input](std::string_view key, double fallback) {
        return toolinput::optionalNumber(input, key).value_or(fallback);
    };
    if (word == "pulse") {
        double scale = numberOr("pulseScale", 1.2);
        double interval = numberOr("pulseInterval", 1.0);
        toolinput::requireInRange("pulseScale", scale, 0.5, 3.0);
        toolinput::requireInRange("pulseInterval", interval, 0.1, 10.0);
        return TextLoopType::pulse(scale, interval);
    }
    if (word == "bounce") {
        double amplitude = numberOr("bounceAmplitude", 0.1);
        double interval = numberOr("bounceInterval", 0.5);
        toolinput::requireInRange("bounceAmplitude", amplitude, 0.0, 0.5);
        toolinput::requireInRange("bounceInterval", interval, 0.1, 10.0);
        return TextLoopType::bounce(amplitude, interval);
    }
    return std::nullopt;
}

} // namespace vexel
