#include "domain/entities/TransitionType.h"

#include "foundation/JsonReader.h"

#include <string>

namespace vexel {

namespace {

// The cases without payload, found by their exact name.
std::optional<TransitionType> payloadless(std::string_view name) {
    if (name == "fade") {
        return TransitionType::fade();
    }
    if (name == "crossDissolve") {
        return TransitionType::crossDissolve();
    }
    if (name == "spin") {
        return TransitionType::spin();
    }
    if (name == "flip") {
        return TransitionType::flip();
    }
    if (name == "zoomIn") {
        return TransitionType::zoomIn();
    }
    if (name == "zoomOut") {
        return TransitionType::zoomOut();
    }
    return std::nullopt;
}

} // namespace

std::string_view caseName(TransitionType::Kind kind) {
    switch (kind) {
    case TransitionType::Kind::push:
        return "push";
    case TransitionType::Kind::wipe:
        return "wipe";
    case TransitionType::Kind::slide:
        return "slide";
    case TransitionType::Kind::fade:
        return "fade";
    case TransitionType::Kind::crossDissolve:
        return "crossDissolve";
    case TransitionType::Kind::spin:
        return "spin";
    case TransitionType::Kind::flip:
        return "flip";
    case TransitionType::Kind::zoomIn:
        return "zoomIn";
    case TransitionType::Kind::zoomOut:
        return "zoomOut";
    }
    return "fade";
}

void to_json(Json& json, const TransitionType& type) {
    std::string name(caseName(type.kind()));
    if (auto direction = type.direction()) {
        json = Json::object();
        json["type"] = name;
        json["direction"] = *direction;
    } else {
        json = name;
    }
}

void from_json(const Json& json, TransitionType& type) {
    // Stored files hold names this version does not know (and bare directional
    // names that lost their direction): they read as a plain fade.
    if (json.is_string()) {
        type = payloadless(json.get<std::string>()).value_or(TransitionType::fade());
        return;
    }
    if (json.is_null()) {
        throw DecodeError::valueNotFound("", "Dictionary<String, Any>");
    }
    json::expectObject(json);
    std::string name = json::readString(json, "type");
    if (auto simple = payloadless(name)) {
        type = *simple;
    } else if (name == "push") {
        type = TransitionType::push(readDirection(json, "direction"));
    } else if (name == "wipe") {
        type = TransitionType::wipe(readDirection(json, "direction"));
    } else if (name == "slide") {
        type = TransitionType::slide(readDirection(json, "direction"));
    } else {
        type = TransitionType::fade();
    }
}

} // namespace vexel
