#include "domain/entities/NormalizedRect.h"

#include "foundation/JsonReader.h"

namespace vexel {

void to_json(Json& json, const NormalizedRect& rect) {
    json = Json::object();
    json["x"] = rect.x;
    json["y"] = rect.y;
    json["width"] = rect.width;
    json["height"] = rect.height;
}

void from_json(const Json& json, NormalizedRect& rect) {
    json::expectObject(json);
    rect.x = json::readDouble(json, "x");
    rect.y = json::readDouble(json, "y");
    rect.width = json::readDouble(json, "width");
    rect.height = json::readDouble(json, "height");
}

} // namespace vexel
