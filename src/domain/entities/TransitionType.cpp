#include "domain/entities/TransitionType.h"

#include "foundation/JsonReader.h"

#include <string>

namespace vexel {

namespace {

// The cases without payload, found by their exact name.
std::optional<TransitionType> payloadless(std::string_view name) {
    const std::optional<TransitionType::Kind> kind = transitionKind(name);
    if (!kind || TransitionType::moves(*kind)) {
        return std::nullopt;
    }
    return TransitionType::of(*kind, Direction::left);
}

} // namespace

TransitionType TransitionType::of(Kind kind, Direction direction) {
    return {kind, moves(kind) ? std::optional(direction) : std::nullopt};
}

std::optional<TransitionType::Kind> transitionKind(std::string_view name) {
    using Kind = TransitionType::Kind;
    for (Kind kind : {Kind::push, Kind::wipe, Kind::slide, Kind::fade, Kind::crossDissolve,
                      Kind::spin, Kind::flip, Kind::zoomIn, Kind::zoomOut}) {
        if (caseName(kind) == name) {
            return kind;
        }
    }
    return std::nullopt;
}

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
    const std::optional<TransitionType::Kind> kind = transitionKind(json::readString(json, "type"));
    if (!kind) {
        type = TransitionType::fade();
    } else if (TransitionType::moves(*kind)) {
        type = TransitionType::of(*kind, readDirection(json, "direction"));
    } else {
        type = TransitionType::of(*kind, Direction::left);
    }
}

} // namespace vexel
