#pragma once

#include "foundation/Json.h"
#include "foundation/RawValueTable.h"

#include <array>
#include <optional>
#include <string_view>

namespace vexel {

// Where a transition, a text animation or an image pan moves.
enum class Direction { left, right, up, down };

inline constexpr RawValueTable<Direction, 4> directionRawValues{"Direction",
                                                                {{{Direction::left, "left"},
                                                                  {Direction::right, "right"},
                                                                  {Direction::up, "up"},
                                                                  {Direction::down, "down"}}}};

inline constexpr std::array<Direction, 4> allDirections = directionRawValues.cases();

// "left", "right", "up", "down".
std::string_view rawValue(Direction direction);
// Exact, case-sensitive match of the raw value; anything else is absent.
std::optional<Direction> directionFromRaw(std::string_view raw);

void to_json(Json& json, Direction direction);
// A bare raw-value string; an unknown string is a data-corrupted error.
void from_json(const Json& json, Direction& direction);

// The required member `key` of `object` as a Direction; errors name `key`.
Direction readDirection(const Json& object, std::string_view key);

} // namespace vexel
