#pragma once

#include "domain/entities/Direction.h"
#include "foundation/Json.h"

#include <optional>
#include <string_view>

namespace vexel {

// What a transition does; push, wipe and slide move in a direction.
class TransitionType {
public:
    enum class Kind { push, wipe, slide, fade, crossDissolve, spin, flip, zoomIn, zoomOut };

    // A fade.
    TransitionType() = default;

    static TransitionType push(Direction direction) { return {Kind::push, direction}; }
    static TransitionType wipe(Direction direction) { return {Kind::wipe, direction}; }
    static TransitionType slide(Direction direction) { return {Kind::slide, direction}; }
    static TransitionType fade() { return {Kind::fade, std::nullopt}; }
    static TransitionType crossDissolve() { return {Kind::crossDissolve, std::nullopt}; }
    static TransitionType spin() { return {Kind::spin, std::nullopt}; }
    static TransitionType flip() { return {Kind::flip, std::nullopt}; }
    static TransitionType zoomIn() { return {Kind::zoomIn, std::nullopt}; }
    static TransitionType zoomOut() { return {Kind::zoomOut, std::nullopt}; }
    // A type of `kind`, moving in `direction` when the kind moves at all.
    static TransitionType of(Kind kind, Direction direction);

    // Push, wipe and slide.
    static bool moves(Kind kind) {
        return kind == Kind::push || kind == Kind::wipe || kind == Kind::slide;
    }

    Kind kind() const { return kind_; }
    // Present exactly for push, wipe and slide.
    std::optional<Direction> direction() const { return direction_; }

    friend bool operator==(const TransitionType&, const TransitionType&) = default;

private:
    TransitionType(Kind kind, std::optional<Direction> direction)
        : kind_(kind)
        , direction_(direction) {}

    Kind kind_ = Kind::fade;
    std::optional<Direction> direction_;
};

// The case name, also its name in the encoded form ("push", "crossDissolve", ...).
std::string_view caseName(TransitionType::Kind kind);
// The case of that exact name; absent for any other text.
std::optional<TransitionType::Kind> transitionKind(std::string_view caseName);

// Payload-less cases as bare strings, push/wipe/slide as {"type", "direction"}.
void to_json(Json& json, const TransitionType& type);
// A bare string first, then the object form; names that are no transition read as fade.
void from_json(const Json& json, TransitionType& type);

} // namespace vexel
