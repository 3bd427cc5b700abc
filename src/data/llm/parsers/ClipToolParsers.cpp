#include "data/llm/parsers/ClipToolParsers.h"

#include "data/llm/LLMResponseParserError.h"
#include "data/llm/ToolCallMapper.h"
#include "data/llm/parsers/MediaToolParsers.h"
#include "data/llm/parsers/ToolInput.h"
#include "domain/entities/EasingCurve.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace vexel {

namespace {

// The first double that no int64 can hold: casts need |value| below it.
constexpr double int64Limit = 9223372036854775808.0;

Uuid resolveTarget(const JSONObject& input, const Project& context) {
    return ToolCallMapper::resolveClipId(toolinput::requiredString(input, "target"), context);
}

// A media clip of that name, else a text clip of that text.
struct AnyClip {
    Uuid id;
    bool isText = false;
};

AnyClip resolveAnyClip(const std::string& target, const Project& context) {
    try {
        return {ToolCallMapper::resolveClipId(target, context), false};
    } catch (const LLMResponseParserError&) {
    }
    try {
        return {ToolCallMapper::resolveTextClipId(target, context), true};
    } catch (const LLMResponseParserError&) {
    }
    throw LLMResponseParserError::targetNotFound(target);
}

// A flip flag: "true"/"false" in any letter case or a JSON Boolean; any other
// value that is there is an error rather than silently no flip.
std::optional<bool> parseFlip(const JSONObject& input, std::string_view key) {
    const JSONValue* value = toolinput::find(input, key);
    if (value == nullptr) {
        return std::nullopt;
    }
    std::optional<bool> flag;
    if (const std::string* text = value->stringValue()) {
        flag = ToolCallMapper::parseBoolString(*text);
    } else {
        flag = value->boolValue();
    }
    if (!flag) {
        throw LLMResponseParserError::invalidParameterValue(std::string(key), 0.0);
    }
    return flag;
}

bool isGeometric(const TransitionType& type) {
    switch (type.kind()) {
    case TransitionType::Kind::push:
    case TransitionType::Kind::wipe:
    case TransitionType::Kind::slide:
    case TransitionType::Kind::spin:
    case TransitionType::Kind::flip:
    case TransitionType::Kind::zoomIn:
    case TransitionType::Kind::zoomOut:
        return true;
    case TransitionType::Kind::fade:
    case TransitionType::Kind::crossDissolve:
        return false;
    }
    return false;
}

constexpr double maxTransitionSeconds = 5;

} // namespace

EditCommand ClipToolParsers::parseMove(const JSONObject& input, const Project& context) {
    Uuid clipId = resolveTarget(input, context);
    double to = toolinput::requiredNumber(input, "to");
    toolinput::requireNonNegative("to", to);
    auto toTrackId =
        ToolCallMapper::resolveTrackId(toolinput::optionalString(input, "toTrack"), context);
    return EditCommand::Move{clipId, to, toTrackId};
}

EditCommand ClipToolParsers::parseTrim(const JSONObject& input, const Project& context) {
    Uuid clipId = resolveTarget(input, context);
    double startTime = toolinput::requiredNumber(input, "startTime");
    double duration = toolinput::requiredNumber(input, "duration");
    toolinput::requireFinite("startTime", startTime);
    toolinput::requireFinite("duration", duration);
    toolinput::requireNonNegative("startTime", startTime);
    toolinput::requirePositive("duration", duration);
    return EditCommand::Trim{clipId, startTime, duration};
}

EditCommand ClipToolParsers::parseAdjustVolume(const JSONObject& input, const Project& context) {
    Uuid clipId = resolveTarget(input, context);
    double volume = toolinput::requiredNumber(input, "volume");
    toolinput::requireInRange("volume", volume, 0, 1);
    return EditCommand::AdjustVolume{clipId, volume, parseFadeRange(input)};
}

std::optional<TimeRange> ClipToolParsers::parseFadeRange(const JSONObject& input) {
    auto fadeStart = toolinput::optionalNumber(input, "fadeStart");
    auto fadeEnd = toolinput::optionalNumber(input, "fadeEnd");
    if (!fadeStart || !fadeEnd) {
        return std::nullopt;
    }
    toolinput::requireFinite("fadeStart", *fadeStart);
    toolinput::requireFinite("fadeEnd", *fadeEnd);
    toolinput::requireNonNegative("fadeStart", *fadeStart);
    if (!(*fadeEnd > *fadeStart)) {
        throw LLMResponseParserError::invalidParameterValue("fadeEnd", *fadeEnd);
    }
    return TimeRange{*fadeStart, *fadeEnd - *fadeStart};
}

EditCommand ClipToolParsers::parseRemove(const JSONObject& input, const Project& context) {
    std::string target = toolinput::requiredString(input, "target");
    return EditCommand::RemoveClip{resolveAnyClip(target, context).id};
}

EditCommand ClipToolParsers::parseSplit(const JSONObject& input, const Project& context) {
    Uuid clipId = resolveTarget(input, context);
    double at = toolinput::requiredNumber(input, "at");
    toolinput::requireNonNegative("at", at);
    return EditCommand::Split{clipId, at};
}

EditCommand ClipToolParsers::parseDuplicateClip(const JSONObject& input, const Project& context) {
    Uuid clipId = resolveTarget(input, context);
    auto at = toolinput::optionalNumber(input, "at");
    if (at) {
        toolinput::requireNonNegative("at", *at);
    }
    return EditCommand::DuplicateClip{clipId, at};
}

EditCommand ClipToolParsers::parseSpeed(const JSONObject& input, const Project& context) {
    Uuid clipId = resolveTarget(input, context);
    double rate = toolinput::requiredNumber(input, "rate");
    toolinput::requireInRange("rate", rate, 0.25, 4.0);
    return EditCommand::Speed{clipId, rate};
}

EditCommand ClipToolParsers::parseOpacity(const JSONObject& input, const Project& context) {
    Uuid clipId = resolveTarget(input, context);
    double opacity = toolinput::requiredNumber(input, "opacity");
    toolinput::requireInRange("opacity", opacity, 0, 1);
    return EditCommand::Opacity{clipId, opacity};
}

EditCommand ClipToolParsers::parseColorAdjust(const JSONObject& input, const Project& context) {
    Uuid clipId = resolveTarget(input, context);
    auto brightness = toolinput::optionalNumber(input, "brightness");
    auto contrast = toolinput::optionalNumber(input, "contrast");
    auto saturation = toolinput::optionalNumber(input, "saturation");
    if (!brightness && !contrast && !saturation) {
        throw LLMResponseParserError::missingParameter("brightness, contrast, or saturation");
    }
    if (brightness) {
        toolinput::requireInRange("brightness", *brightness, -1, 1);
    }
    if (contrast) {
        toolinput::requireInRange("contrast", *contrast, 0, 4);
    }
    if (saturation) {
        toolinput::requireInRange("saturation", *saturation, 0, 4);
    }
    return EditCommand::ColorAdjust{clipId, brightness, contrast, saturation};
}

EditCommand ClipToolParsers::parseRotateFlip(const JSONObject& input, const Project& context) {
    Uuid clipId = resolveTarget(input, context);
    std::optional<std::int64_t> rotation;
    if (auto degrees = toolinput::optionalNumber(input, "rotation")) {
        if (!(std::isfinite(*degrees) && std::fabs(*degrees) < int64Limit)) {
            throw LLMResponseParserError::invalidParameterValue("rotation", *degrees);
        }
        auto whole = static_cast<std::int64_t>(*degrees);
        if (whole != 0 && whole != 90 && whole != 180 && whole != 270) {
            throw LLMResponseParserError::invalidParameterValue("rotation", *degrees);
        }
        rotation = whole;
    }
    auto flipHorizontal = parseFlip(input, "flipHorizontal");
    auto flipVertical = parseFlip(input, "flipVertical");
    if (!rotation && !flipHorizontal && !flipVertical) {
        throw LLMResponseParserError::missingParameter("rotation, flipHorizontal, or flipVertical");
    }
    return EditCommand::RotateFlip{clipId, rotation, flipHorizontal, flipVertical};
}

EditCommand ClipToolParsers::parseCrop(const JSONObject& input, const Project& context) {
    Uuid clipId = resolveTarget(input, context);
    double x = toolinput::requiredNumber(input, "x");
    double y = toolinput::requiredNumber(input, "y");
    double width = toolinput::requiredNumber(input, "width");
    double height = toolinput::requiredNumber(input, "height");
    toolinput::requireFinite("x", x);
    toolinput::requireFinite("y", y);
    toolinput::requireFinite("width", width);
    toolinput::requireFinite("height", height);
    toolinput::requireNonNegative("x", x);
    toolinput::requireNonNegative("y", y);
    toolinput::requirePositive("width", width);
    toolinput::requirePositive("height", height);
    // Whether the rectangle stays inside the frame is the crop edit's check.
    toolinput::requireInRange("x", x, 0, 1);
    toolinput::requireInRange("y", y, 0, 1);
    toolinput::requireInRange("width", width, 0, 1);
    toolinput::requireInRange("height", height, 0, 1);
    return EditCommand::Crop{clipId, x, y, width, height};
}

EditCommand ClipToolParsers::parseFilter(const JSONObject& input, const Project& context) {
    Uuid clipId = resolveTarget(input, context);
    std::string filterName = toolinput::requiredString(input, "filter_name");
    if (filterName != "sepia" && filterName != "grayscale" && filterName != "noir" &&
        filterName != "none") {
        throw LLMResponseParserError::invalidParameterValue("filter_name", 0.0);
    }
    auto intensity = toolinput::optionalNumber(input, "intensity");
    if (intensity) {
        toolinput::requireInRange("intensity", *intensity, 0, 1);
    }
    return EditCommand::Filter{clipId, std::move(filterName), intensity};
}

EditCommand ClipToolParsers::parseTransition(const JSONObject& input, const Project& context) {
    AnyClip target = resolveAnyClip(toolinput::requiredString(input, "target"), context);
    auto fadeIn = toolinput::optionalNumber(input, "fadeInDuration");
    auto fadeOut = toolinput::optionalNumber(input, "fadeOutDuration");

    if (auto dissolve = toolinput::optionalNumber(input, "crossDissolveDuration")) {
        if (target.isText) {
            throw LLMResponseParserError::missingParameter(
                "crossDissolveDuration is not supported on text clips; use fadeInDuration or "
                "fadeOutDuration");
        }
        toolinput::requireInRange("crossDissolveDuration", *dissolve, 0, maxTransitionSeconds);
        return EditCommand::CrossDissolve{target.id, *dissolve};
    }

    auto typeName = toolinput::optionalString(input, "type");
    auto easingName = toolinput::optionalString(input, "easing");
    if (!fadeIn && !fadeOut) {
        throw LLMResponseParserError::missingParameter(
            "fadeInDuration, fadeOutDuration, or crossDissolveDuration");
    }
    if (fadeIn) {
        toolinput::requireInRange("fadeInDuration", *fadeIn, 0, maxTransitionSeconds);
    }
    if (fadeOut) {
        toolinput::requireInRange("fadeOutDuration", *fadeOut, 0, maxTransitionSeconds);
    }

    auto type = MediaToolParsers::parseTransitionType(typeName);
    if (type && isGeometric(*type)) {
        static constexpr std::string_view onlyVideo =
            "Geometric transitions (push/wipe/slide/spin/flip/zoom) are only supported on video "
            "clips. Use 'fade' for ";
        if (target.isText) {
            throw LLMResponseParserError::missingParameter(std::string(onlyVideo) + "text clips.");
        }
        const Clip* clip = context.findClip(target.id);
        if (clip != nullptr && clip->trackType != TrackType::video) {
            throw LLMResponseParserError::missingParameter(
                std::string(onlyVideo) + std::string(rawValue(clip->trackType)) + " clips.");
        }
    }

    std::optional<EasingCurve> easing;
    if (easingName) {
        easing = easingCurveFromRaw(*easingName).value_or(EasingCurve::linear);
    }
    return EditCommand::Transition{target.id, fadeIn, fadeOut, type, easing};
}

} // namespace vexel
