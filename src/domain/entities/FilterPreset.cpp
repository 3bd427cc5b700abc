#include "domain/entities/FilterPreset.h"

#include "foundation/JsonReader.h"

namespace vexel {

bool FilterPreset::isActive() const {
    return !name.empty() && name != "none";
}

void to_json(Json& json, const FilterPreset& preset) {
    json = Json::object();
    json["name"] = preset.name;
    json["intensity"] = preset.intensity;
}

void from_json(const Json& json, FilterPreset& preset) {
    json::expectObject(json);
    preset.name = json::readString(json, "name");
    double intensity = json::readDouble(json, "intensity");
    preset.intensity = intensity > 0 ? (intensity < 1 ? intensity : 1.0) : 0.0;
}

} // namespace vexel
