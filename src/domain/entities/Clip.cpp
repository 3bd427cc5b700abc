#include "domain/entities/Clip.h"

#include "domain/entities/EncodedMember.h"
#include "foundation/JsonReader.h"

#include <algorithm>
#include <cmath>

namespace vexel {

namespace {

double transitionDuration(const std::optional<TransitionEffect>& transition) {
    return transition ? transition->duration : 0;
}

bool hasPositiveTransition(const std::optional<TransitionEffect>& transition) {
    return transition && transition->duration > 0;
}

bool isNonNeutral(const std::optional<ColorAdjust>& adjust) {
    return adjust && !adjust->isNeutral();
}

bool isActive(const std::optional<FilterPreset>& filter) {
    return filter && filter->isActive();
}

double clampUnit(double p) {
    if (p <= 0) {
        return 0;
    }
    if (p > 1) {
        return 1;
    }
    return p;
}

} // namespace

Clip Clip::clampingTransitions() const {
    double in = transitionDuration(transitionIn);
    double out = transitionDuration(transitionOut);
    if (timeRange.duration < in + out) {
        Clip clamped = *this;
        clamped.transitionIn.reset();
        clamped.transitionOut.reset();
        return clamped;
    }
    return *this;
}

bool Clip::hasVisualEffect() const {
    return isNonNeutral(colorAdjust) || isActive(filter);
}

bool Clip::hasEditableEffects() const {
    switch (trackType) {
    case TrackType::text:
        return false;
    case TrackType::audio:
        return volume != 1.0 || rate != 1.0 || fadeRange.has_value();
    case TrackType::video:
        return opacity != 1.0 || rate != 1.0 || volume != 1.0 || fadeRange.has_value() ||
               isNonNeutral(colorAdjust) || isActive(filter) ||
               hasPositiveTransition(transitionIn) || hasPositiveTransition(transitionOut);
    case TrackType::image:
        return opacity != 1.0 || isNonNeutral(colorAdjust) || isActive(filter) ||
               hasPositiveTransition(transitionIn) || hasPositiveTransition(transitionOut);
    }
    return false;
}

double Clip::effectiveOpacity(double time) const {
    double start = timeRange.startTime;
    double end = start + timeRange.duration;
    if (hasPositiveTransition(transitionIn)) {
        double d = transitionIn->duration;
        if (time < start + d) {
            return clampUnit((time - start) / d) * opacity;
        }
    }
    if (hasPositiveTransition(transitionOut)) {
        double d = transitionOut->duration;
        if (time >= end - d) {
            return (1 - clampUnit((time - (end - d)) / d)) * opacity;
        }
    }
    return opacity;
}

namespace {

template <class T> void putOptional(Json& json, const char* key, const std::optional<T>& value) {
    if (value) {
        json[key] = *value;
    }
}

// A stored scale outside what the renderer supports is brought back into range;
// a non-finite one means "not scaled".
std::optional<double> readTextScale(const Json& json) {
    std::optional<double> scale = json::readOptionalDouble(json, "textScale");
    if (!scale || !std::isfinite(*scale)) {
        return std::nullopt;
    }
    return std::clamp(*scale, 0.1, 5.0);
}

} // namespace

void to_json(Json& json, const Clip& clip) {
    json = Json::object();
    json["id"] = clip.id.string();
    json["assetName"] = clip.assetName;
    if (clip.assetURL) {
        json["assetPath"] = clip.assetURL->string();
    }
    json["trackType"] = clip.trackType;
    json["timeRange"] = clip.timeRange;
    json["sourceOffset"] = clip.sourceOffset;
    json["volume"] = clip.volume;
    putOptional(json, "textPosition", clip.textPosition);
    putOptional(json, "textStyle", clip.textStyle);
    json["rate"] = clip.rate;
    json["opacity"] = clip.opacity;
    putOptional(json, "colorAdjust", clip.colorAdjust);
    putOptional(json, "transform", clip.transform);
    putOptional(json, "transitionIn", clip.transitionIn);
    putOptional(json, "transitionOut", clip.transitionOut);
    json["isReversed"] = clip.isReversed;
    putOptional(json, "filter", clip.filter);
    putOptional(json, "fadeRange", clip.fadeRange);
    putOptional(json, "textAnimation", clip.textAnimation);
    putOptional(json, "imageAnimation", clip.imageAnimation);
    putOptional(json, "overlayTransform", clip.overlayTransform);
    putOptional(json, "textScale", clip.textScale);
    if (clip.audioEffects) {
        Json effects = Json::array();
        for (const AudioEffect& effect : *clip.audioEffects) {
            effects.push_back(effect);
        }
        json["audioEffects"] = std::move(effects);
    }
}

void from_json(const Json& json, Clip& clip) {
    using namespace json;
    expectObject(json);
    Clip decoded;
    decoded.id = readUuid(json, "id");
    decoded.assetName = readString(json, "assetName");
    if (auto path = readOptionalString(json, "assetPath")) {
        decoded.assetURL = std::filesystem::path(std::move(*path));
    }
    decoded.trackType = decodeMember<TrackType>(json, "trackType", "String");
    decoded.timeRange = decodeMember<TimeRange>(json, "timeRange", "TimeRange");
    decoded.sourceOffset = readOptionalDouble(json, "sourceOffset").value_or(0);
    decoded.volume = readDouble(json, "volume");
    decoded.textPosition = decodeOptionalMember<TextPosition>(json, "textPosition");
    decoded.textStyle = decodeOptionalMember<TextStyle>(json, "textStyle");
    decoded.rate = readDouble(json, "rate");
    decoded.opacity = readDouble(json, "opacity");
    decoded.colorAdjust = decodeOptionalMember<ColorAdjust>(json, "colorAdjust");
    decoded.transform = decodeOptionalMember<ClipTransform>(json, "transform");
    decoded.transitionIn = decodeOptionalMember<TransitionEffect>(json, "transitionIn");
    decoded.transitionOut = decodeOptionalMember<TransitionEffect>(json, "transitionOut");
    decoded.isReversed = readBool(json, "isReversed");
    decoded.filter = decodeOptionalMember<FilterPreset>(json, "filter");
    decoded.fadeRange = decodeOptionalMember<TimeRange>(json, "fadeRange");
    decoded.textAnimation = decodeOptionalMember<TextAnimation>(json, "textAnimation");
    decoded.imageAnimation = decodeOptionalMember<ImageAnimation>(json, "imageAnimation");
    decoded.overlayTransform = decodeOptionalMember<OverlayTransform>(json, "overlayTransform");
    decoded.textScale = readTextScale(json);
    if (const Json* effects = optionalMember(json, "audioEffects")) {
        expectArray(*effects, "audioEffects");
        std::vector<AudioEffect> list;
        list.reserve(effects->size());
        for (const Json& effect : *effects) {
            list.push_back(decodeValue<AudioEffect>(effect, "audioEffects"));
        }
        decoded.audioEffects = std::move(list);
    }
    clip = std::move(decoded);
}

} // namespace vexel
