#pragma once

#include "domain/entities/Direction.h"
#include "foundation/Json.h"

#include <optional>
#include <string_view>

namespace vexel {

// How a text leaves at its clip's end; slideOut and wipeOut move in a direction.
class TextExitType {
public:
    enum class Kind { slideOut, wipeOut, scaleOut, fadeOut, popOut, bounceOut };

    // A fade-out.
    TextExitType() = default;

    static TextExitType slideOut(Direction direction) { return {Kind::slideOut, direction}; }
    static TextExitType wipeOut(Direction direction) { return {Kind::wipeOut, direction}; }
    static TextExitType scaleOut() { return {Kind::scaleOut, std::nullopt}; }
    static TextExitType fadeOut() { return {Kind::fadeOut, std::nullopt}; }
    static TextExitType popOut() { return {Kind::popOut, std::nullopt}; }
    static TextExitType bounceOut() { return {Kind::bounceOut, std::nullopt}; }

    Kind kind() const { return kind_; }
    // Present exactly for slideOut and wipeOut.
    std::optional<Direction> direction() const { return direction_; }

    friend bool operator==(const TextExitType&, const TextExitType&) = default;

private:
    TextExitType(Kind kind, std::optional<Direction> direction)
        : kind_(kind)
        , direction_(direction) {}

    Kind kind_ = Kind::fadeOut;
    std::optional<Direction> direction_;
};

// The case name, also its name in the encoded form ("slideOut", "fadeOut", ...).
std::string_view caseName(TextExitType::Kind kind);

// Always an object: {"type"} plus "direction" for the directional cases.
void to_json(Json& json, const TextExitType& type);
// An unknown "type" fails with "Unknown TextExitType: <name>".
void from_json(const Json& json, TextExitType& type);

} // namespace vexel
