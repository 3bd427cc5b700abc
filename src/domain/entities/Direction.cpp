#include "domain/entities/Direction.h"

#include "foundation/JsonReader.h"

#include <string>

namespace vexel {

namespace {

Direction decode(const Json& value, std::string_view key) {
    std::string raw = json::asString(value, key);
    auto direction = directionFromRaw(raw);
    if (!direction) {
        throw DecodeError::dataCorrupted(
            std::string(key), "Cannot initialize Direction from invalid String value " + raw);
    }
    return *direction;
}

} // namespace

std::string_view rawValue(Direction direction) {
    switch (direction) {
    case Direction::left:
        return "left";
    case Direction::right:
        return "right";
    case Direction::up:
        return "up";
    case Direction::down:
        return "down";
    }
    return "left";
}

std::optional<Direction> directionFromRaw(std::string_view raw) {
    for (Direction direction : allDirections) {
        if (rawValue(direction) == raw) {
            return direction;
        }
    }
    return std::nullopt;
}

void to_json(Json& json, Direction direction) {
    json = std::string(rawValue(direction));
}

void from_json(const Json& json, Direction& direction) {
    direction = decode(json, {});
}

Direction readDirection(const Json& object, std::string_view key) {
    return decode(json::member(object, key), key);
}

} // namespace vexel
