#include "domain/entities/TextEntranceType.h"

#include "foundation/JsonReader.h"

#include <string>

namespace vexel {

std::string_view caseName(TextEntranceType::Kind kind) {
    switch (kind) {
    case TextEntranceType::Kind::slideIn:
        return "slideIn";
    case TextEntranceType::Kind::wipeReveal:
        return "wipeReveal";
    case TextEntranceType::Kind::scaleIn:
        return "scaleIn";
    case TextEntranceType::Kind::popIn:
        return "popIn";
    case TextEntranceType::Kind::bounceIn:
        return "bounceIn";
    case TextEntranceType::Kind::fadeIn:
        return "fadeIn";
    }
    return "fadeIn";
}

void to_json(Json& json, const TextEntranceType& type) {
    json = Json::object();
    json["type"] = std::string(caseName(type.kind()));
    if (auto direction = type.direction()) {
        json["direction"] = *direction;
    }
}

void from_json(const Json& json, TextEntranceType& type) {
    json::expectObject(json);
    std::string name = json::readString(json, "type");
    if (name == "slideIn") {
        type = TextEntranceType::slideIn(readDirection(json, "direction"));
    } else if (name == "scaleIn") {
        type = TextEntranceType::scaleIn();
    } else if (name == "popIn") {
        type = TextEntranceType::popIn();
    } else if (name == "wipeReveal") {
        type = TextEntranceType::wipeReveal(readDirection(json, "direction"));
    } else if (name == "bounceIn") {
        type = TextEntranceType::bounceIn();
    } else if (name == "fadeIn") {
        type = TextEntranceType::fadeIn();
    } else {
        throw DecodeError::dataCorrupted("type", "Unknown TextEntranceType: " + name);
    }
}

} // namespace vexel
