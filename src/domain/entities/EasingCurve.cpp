#include "domain/entities/EasingCurve.h"

namespace vexel {

std::string_view rawValue(EasingCurve curve) {
    return easingCurveRawValues.raw(curve);
}

std::optional<EasingCurve> easingCurveFromRaw(std::string_view raw) {
    return easingCurveRawValues.fromRaw(raw);
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
    easingCurveRawValues.encode(json, curve);
}

void from_json(const Json& json, EasingCurve& curve) {
    curve = easingCurveRawValues.decode(json);
}

EasingCurve readEasingCurve(const Json& object, std::string_view key) {
    return easingCurveRawValues.decode(json::member(object, key), key);
}

} // namespace vexel
