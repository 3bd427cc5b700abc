#include "data/llm/parsers/MediaToolParsers.h"

#include "data/llm/LLMResponseParserError.h"
#include "data/llm/ParameterValidator.h"
#include "data/llm/ToolCallMapper.h"
#include "data/llm/parsers/ToolInput.h"
#include "domain/entities/EasingCurve.h"
#include "domain/entities/NormalizedRect.h"

#include <array>
#include <string_view>
#include <utility>

namespace vexel {

namespace {

// Motion parameters take their default when absent or not a number.
double numberOr(const JSONObject& input, std::string_view key, double fallback) {
    return toolinput::optionalNumber(input, key).value_or(fallback);
}

ImageAnimationType parseKenBurns(const JSONObject& input) {
    NormalizedRect from{numberOr(input, "fromX", 0), numberOr(input, "fromY", 0),
                        numberOr(input, "fromWidth", 1), numberOr(input, "fromHeight", 1)};
    NormalizedRect to{numberOr(input, "toX", 0.1), numberOr(input, "toY", 0.1),
                      numberOr(input, "toWidth", 0.8), numberOr(input, "toHeight", 0.8)};
    // Positions before sizes; a rectangle may reach past the image's edge.
    const std::array<std::pair<std::string_view, double>, 4> positions = {
        {{"fromX", from.x}, {"fromY", from.y}, {"toX", to.x}, {"toY", to.y}}};
    for (const auto& [key, value] : positions) {
        toolinput::requireInRange(key, value, 0, 1);
    }
    const std::array<std::pair<std::string_view, double>, 4> sizes = {{{"fromWidth", from.width},
                                                                       {"fromHeight", from.height},
                                                                       {"toWidth", to.width},
                                                                       {"toHeight", to.height}}};
    for (const auto& [key, value] : sizes) {
        toolinput::requireInRange(key, value, 0.05, 1.0);
    }
    return ImageAnimationType::kenBurns(from, to);
}

ImageAnimationType parsePan(const JSONObject& input, Direction direction) {
    double distance = numberOr(input, "distance", 0.3);
    toolinput::requireInRange("distance", distance, 0, 1);
    return ImageAnimationType::pan(direction, distance);
}

ImageAnimationType parseMotion(const std::string& type, const JSONObject& input) {
    if (type == "kenBurns") {
        return parseKenBurns(input);
    }
    if (type == "zoomIn" || type == "zoomOut") {
        double factor = numberOr(input, "factor", 1.5);
        toolinput::requireInRange("factor", factor, 1.01, 5.0);
        return type == "zoomIn" ? ImageAnimationType::zoomIn(factor)
                                : ImageAnimationType::zoomOut(factor);
    }
    if (type == "pan_left") {
        return parsePan(input, Direction::left);
    }
    if (type == "pan_right") {
        return parsePan(input, Direction::right);
    }
    if (type == "pan_up") {
        return parsePan(input, Direction::up);
    }
    if (type == "pan_down") {
        return parsePan(input, Direction::down);
    }
    if (type == "shake") {
        double intensity = numberOr(input, "intensity", 0.5);
        toolinput::requireInRange("intensity", intensity, 0, 1);
        return ImageAnimationType::shake(intensity);
    }
    if (type == "rotate") {
        double degrees = numberOr(input, "degrees", 360);
        toolinput::requireInRange("degrees", degrees, -3600, 3600);
        return ImageAnimationType::rotate(degrees);
    }
    throw LLMResponseParserError::invalidParameterValue("type", 0.0);
}

} // namespace

EditCommand MediaToolParsers::parseAddClip(const JSONObject& input) {
    std::string assetName = toolinput::requiredString(input, "target");
    ParameterValidator::validateFilename(assetName);
    TrackType trackType =
        ToolCallMapper::parseTrackType(toolinput::requiredString(input, "trackType"));
    double at = toolinput::requiredNumber(input, "at");
    toolinput::requireNonNegative("at", at);
    return EditCommand::AddClip{std::move(assetName), trackType, at,
                                toolinput::optionalString(input, "target_track")};
}

EditCommand MediaToolParsers::parseAddTrack(const JSONObject& input) {
    std::string word = toolinput::requiredString(input, "trackType");
    if (ToolCallMapper::parseTrackType(word) != TrackType::audio) {
        throw LLMResponseParserError::unknownTrackType(std::move(word));
    }
    return EditCommand::AddTrack{toolinput::optionalString(input, "name"), TrackType::audio};
}

EditCommand MediaToolParsers::parseSetImageAnimation(const JSONObject& input,
                                                     const Project& context) {
    Uuid clipId =
        ToolCallMapper::resolveClipId(toolinput::requiredString(input, "target"), context);
    std::string type = toolinput::requiredString(input, "type");
    EasingCurve easing = EasingCurve::easeInOut;
    if (auto word = toolinput::optionalString(input, "easing")) {
        easing = easingCurveFromRaw(*word).value_or(EasingCurve::easeInOut);
    }
    return EditCommand::SetImageAnimation{clipId, parseMotion(type, input), easing};
}

std::optional<TransitionType>
MediaToolParsers::parseTransitionType(const std::optional<std::string>& name) {
    if (!name) {
        return std::nullopt;
    }
    static const std::array<std::pair<std::string_view, TransitionType>, 18> names = {{
        {"fade", TransitionType::fade()},
        {"crossDissolve", TransitionType::crossDissolve()},
        {"clip_push_left", TransitionType::push(Direction::left)},
        {"clip_push_right", TransitionType::push(Direction::right)},
        {"clip_push_up", TransitionType::push(Direction::up)},
        {"clip_push_down", TransitionType::push(Direction::down)},
        {"clip_wipe_left", TransitionType::wipe(Direction::left)},
        {"clip_wipe_right", TransitionType::wipe(Direction::right)},
        {"clip_wipe_up", TransitionType::wipe(Direction::up)},
        {"clip_wipe_down", TransitionType::wipe(Direction::down)},
        {"clip_slide_left", TransitionType::slide(Direction::left)},
        {"clip_slide_right", TransitionType::slide(Direction::right)},
        {"clip_slide_up", TransitionType::slide(Direction::up)},
        {"clip_slide_down", TransitionType::slide(Direction::down)},
        {"spin", TransitionType::spin()},
        {"flip", TransitionType::flip()},
        {"clip_zoom_in", TransitionType::zoomIn()},
        {"clip_zoom_out", TransitionType::zoomOut()},
    }};
    for (const auto& [word, type] : names) {
        if (word == *name) {
            return type;
        }
    }
    return std::nullopt;
}

} // namespace vexel
