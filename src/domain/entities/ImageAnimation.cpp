#include "domain/entities/ImageAnimation.h"

#include "foundation/JsonReader.h"

namespace vexel {

void to_json(Json& json, const ImageAnimation& animation) {
    json = Json::object();
    json["type"] = animation.type;
    json["easing"] = animation.easing;
}

void from_json(const Json& json, ImageAnimation& animation) {
    json::expectObject(json);
    animation.type = json::readObject(json, "type").get<ImageAnimationType>();
    animation.easing = readEasingCurve(json, "easing");
}

} // namespace vexel
