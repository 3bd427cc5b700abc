#include "domain/entities/EQBand.h"

#include "foundation/JsonReader.h"

namespace vexel {

void to_json(Json& json, const EQBand& band) {
    json = Json::object();
    json["frequency"] = band.frequency;
    json["gain"] = band.gain;
    json["bandwidth"] = band.bandwidth;
}

void from_json(const Json& json, EQBand& band) {
    json::expectObject(json);
    band.frequency = json::readDouble(json, "frequency");
    band.gain = json::readDouble(json, "gain");
    band.bandwidth = json::readDouble(json, "bandwidth");
}

} // namespace vexel
