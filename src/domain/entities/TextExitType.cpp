#include "domain/entities/TextExitType.h"

#include "foundation/JsonReader.h"

#include <string>

namespace vexel {

std::string_view caseName(TextExitType::Kind kind) {
    switch (kind) {
    case TextExitType::Kind::slideOut:
        return "slideOut";
    case TextExitType::Kind::wipeOut:
        return "wipeOut";
    case TextExitType::Kind::scaleOut:
        return "scaleOut";
    case TextExitType::Kind::fadeOut:
        return "fadeOut";
    case TextExitType::Kind::popOut:
        return "popOut";
    case TextExitType::Kind::bounceOut:
        return "bounceOut";
    }
    return "fadeOut";
}

void to_json(Json& json, const TextExitType& type) {
    json = Json::object();
    json["type"] = std::string(caseName(type.kind()));
    if (auto direction = type.direction()) {
        json["direction"] = *direction;
    }
}

void from_json(const Json& json, TextExitType& type) {
    json::expectObject(json);
    std::string name = json::readString(json, "type");
    if (name == "slideOut") {
        type = TextExitType::slideOut(readDirection(json, "direction"));
    } else if (name == "scaleOut") {
        type = TextExitType::scaleOut();
    } else if (name == "fadeOut") {
        type = TextExitType::fadeOut();
    } else if (name == "popOut") {
        type = TextExitType::popOut();
    } else if (name == "wipeOut") {
        type = TextExitType::wipeOut(readDirection(json, "direction"));
    } else if (name == "bounceOut") {
        type = TextExitType::bounceOut();
    } else {
        throw DecodeError::dataCorrupted("type", "Unknown TextExitType: " + name);
    }
}

} // namespace vexel
