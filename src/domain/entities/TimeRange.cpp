#include "domain/entities/TimeRange.h"

#include "foundation/JsonReader.h"

namespace vexel {

void to_json(Json& json, const TimeRange& range) {
    json = Json::object();
    json["startTime"] = range.startTime;
    json["duration"] = range.duration;
}

void from_json(const Json& json, TimeRange& range) {
    json::expectObject(json);
    range.startTime = json::readDouble(json, "startTime");
    range.duration = json::readDouble(json, "duration");
}

} // namespace vexel
