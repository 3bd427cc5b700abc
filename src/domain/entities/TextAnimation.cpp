#include "domain/entities/TextAnimation.h"

#include "foundation/JsonReader.h"

namespace vexel {

namespace {

template <class T> std::optional<T> readOptional(const Json& object, std::string_view key) {
    if (const Json* value = json::optionalMember(object, key)) {
        json::expectObject(*value, key);
        return value->get<T>();
    }
    return std::nullopt;
}

} // namespace

void to_json(Json& json, const TextAnimation& animation) {
    json = Json::object();
    if (animation.entrance) {
        json["entrance"] = *animation.entrance;
    }
    if (animation.exit) {
        json["exit"] = *animation.exit;
    }
    if (animation.loop) {
        json["loop"] = *animation.loop;
    }
    json["entranceEasing"] = animation.entranceEasing;
    json["exitEasing"] = animation.exitEasing;
}

void from_json(const Json& json, TextAnimation& animation) {
    json::expectObject(json);
    animation.entrance = readOptional<TextEntranceType>(json, "entrance");
    animation.exit = readOptional<TextExitType>(json, "exit");
    animation.loop = readOptional<TextLoopType>(json, "loop");
    animation.entranceEasing = readEasingCurve(json, "entranceEasing");
    animation.exitEasing = readEasingCurve(json, "exitEasing");
}

} // namespace vexel
