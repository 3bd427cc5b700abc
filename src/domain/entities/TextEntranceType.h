#pragma once

#include "domain/entities/Direction.h"
#include "foundation/Json.h"

#include <optional>
#include <string_view>

namespace vexel {

// How a text enters at its clip's start; slideIn and wipeReveal move in a direction.
class TextEntranceType {
public:
    enum class Kind { slideIn, wipeReveal, scaleIn, popIn, bounceIn, fadeIn };

    // A fade-in.
    TextEntranceType() = default;

    static TextEntranceType slideIn(Direction direction) { return {Kind::slideIn, direction}; }
    static TextEntranceType wipeReveal(Direction direction) {
        return {Kind::wipeReveal, direction};
    }
    static TextEntranceType scaleIn() { return {Kind::scaleIn, std::nullopt}; }
    static TextEntranceType popIn() { return {Kind::popIn, std::nullopt}; }
    static TextEntranceType bounceIn() { return {Kind::bounceIn, std::nullopt}; }
    static TextEntranceType fadeIn() { return {Kind::fadeIn, std::nullopt}; }

    Kind kind() const { return kind_; }
    // Present exactly for slideIn and wipeReveal.
    std::optional<Direction> direction() const { return direction_; }

    friend bool operator==(const TextEntranceType&, const TextEntranceType&) = default;

private:
    TextEntranceType(Kind kind, std::optional<Direction> direction)
        : kind_(kind)
        , direction_(direction) {}

    Kind kind_ = Kind::fadeIn;
    std::optional<Direction> direction_;
};

// The case name, also its name in the encoded form ("slideIn", "fadeIn", ...).
std::string_view caseName(TextEntranceType::Kind kind);

// Always an object: {"type"} plus "direction" for the directional cases.
void to_json(Json& json, const TextEntranceType& type);
// An unknown "type" fails with "Unknown TextEntranceType: <name>".
void from_json(const Json& json, TextEntranceType& type);

} // namespace vexel
