#include "domain/entities/Direction.h"

namespace vexel {

std::string_view rawValue(Direction direction) {
    return directionRawValues.raw(direction);
}

std::optional<Direction> directionFromRaw(std::string_view raw) {
    return directionRawValues.fromRaw(raw);
}

void to_json(Json& json, Direction direction) {
    directionRawValues.encode(json, direction);
}

void from_json(const Json& json, Direction& direction) {
    direction = directionRawValues.decode(json);
}

Direction readDirection(const Json& object, std::string_view key) {
    return directionRawValues.decode(json::member(object, key), key);
}

} // namespace vexel
