#include "domain/entities/TextLoopType.h"

#include "foundation/JsonReader.h"

#include <string>

namespace vexel {

std::string_view caseName(TextLoopType::Kind kind) {
    switch (kind) {
    case TextLoopType::Kind::pulse:
        return "pulse";
    case TextLoopType::Kind::bounce:
        return "bounce";
    }
    return "pulse";
}

double TextLoopType::interval() const {
    if (const auto* pulse = getIf<Pulse>()) {
        return pulse->interval;
    }
    return std::get<Bounce>(payload_).interval;
}

void to_json(Json& json, const TextLoopType& type) {
    json = Json::object();
    json["type"] = std::string(caseName(type.kind()));
    if (const auto* pulse = type.getIf<TextLoopType::Pulse>()) {
        json["scale"] = pulse->scale;
        json["interval"] = pulse->interval;
    } else if (const auto* bounce = type.getIf<TextLoopType::Bounce>()) {
        json["amplitude"] = bounce->amplitude;
        json["interval"] = bounce->interval;
    }
}

void from_json(const Json& json, TextLoopType& type) {
    json::expectObject(json);
    std::string name = json::readString(json, "type");
    if (name == "pulse") {
        double scale = json::readDouble(json, "scale");
        double interval = json::readDouble(json, "interval");
        type = TextLoopType::pulse(scale, interval);
    } else if (name == "bounce") {
        double amplitude = json::readDouble(json, "amplitude");
        double interval = json::readDouble(json, "interval");
        type = TextLoopType::bounce(amplitude, interval);
    } else {
        throw DecodeError::dataCorrupted("type", "Unknown TextLoopType: " + name);
    }
}

} // namespace vexel
