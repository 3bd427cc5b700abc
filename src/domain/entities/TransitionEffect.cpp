#include "domain/entities/TransitionEffect.h"

#include "foundation/JsonReader.h"

namespace vexel {

void to_json(Json& json, const TransitionEffect& effect) {
    json = Json::object();
    json["duration"] = effect.duration;
    json["type"] = effect.type;
    json["easing"] = effect.easing;
}

void from_json(const Json& json, TransitionEffect& effect) {
    json::expectObject(json);
    effect.duration = json::readDouble(json, "duration");
    const Json& type = json::member(json, "type");
    if (type.is_null()) {
        throw DecodeError::valueNotFound("type", "TransitionType");
    }
    effect.type = type.get<TransitionType>();
    effect.easing = json::optionalMember(json, "easing") ? readEasingCurve(json, "easing")
                                                         : EasingCurve::linear;
}

} // namespace vexel
