#include "domain/entities/EasingCurve.h"

#include "foundation/JsonReader.h"

#include <string>

namespace vexel {

namespace {

EasingCurve decode(const Json& value, std::string_view key) {
    std::string raw = json::asString(value, key);
    auto curve = easingCurveFromRaw(raw);
    if (!curve) {
        throw DecodeError::dataCorrupted(
            std::string(key), "Cannot initialize EasingCurve from invalid String value " + raw);
    }
    return *curve;
}

} // namespace

std::string_view rawValue(EasingCurve curve) {
    switch (curve) {
    case EasingCurve::linear:
        return "linear";
    case EasingCurve::easeIn:
        return "easeIn";
    case EasingCurve::easeOut:
        return "easeOut";
    case EasingCurve::easeInOut:
        return "easeInOut";
    }
    return "linear";
}

std::optional<EasingCurve> easingCurveFromRaw(std::string_view raw) {
    for (EasingCurve curve : allEasingCurves) {
        if (rawValue(curve) == raw) {
            return curve;
        }
    }
    return std::nullopt;
}

double easedProgress(EasingCurve curve, double progress) {
    // Written so that NaN lands on 0: an undefined progress must not turn into
    // an undefined opacity or offset downstream.
    double p = progress > 0 ? (progress < 1 ? progress : 1.0) : 0.0;
    switch (curve) {
    case EasingCurve::linear:
        return p;
    case EasingCurve::easeIn:
        return p * p;
    case EasingCurve::easeOut:
        return 1 - (1 - p) * (1 - p);
    case EasingCurve::easeInOut:
        if (p < 0.5) {
            return 2 * p * p;
        }
        return 1 - (2 - 2 * p) * (2 - 2 * p) * 0.5;
    }
    return p;
}

void to_json(Json& json, EasingCurve curve) {
    json = std::string(rawValue(curve));
}

void from_json(const Json& json, EasingCurve& curve) {
    curve = decode(json, {});
}

EasingCurve readEasingCurve(const Json& object, std::string_view key) {
    return decode(json::member(object, key), key);
}

} // namespace vexel
