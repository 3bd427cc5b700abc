#pragma once

#include "domain/entities/TransitionType.h"

#include <QString>

#include <array>
#include <string_view>

namespace vexel {

// The transition type menu: its items in menu order, each with the tag it
// selects by. Push, wipe and slide are one item each, whatever the direction.
struct TransitionTypeItem {
    const char* text;
    std::string_view tag;
};

inline constexpr std::array<TransitionTypeItem, 9> transitionTypeItems = {{
    {"Fade", "fade"},
    {"Cross Dissolve", "crossDissolve"},
    {"Push", "push"},
    {"Wipe", "wipe"},
    {"Slide", "slide"},
    {"Spin", "spin"},
    {"Flip", "flip"},
    {"Zoom In", "zoomIn"},
    {"Zoom Out", "zoomOut"},
}};

// The menu tag of a type: its case name.
std::string_view transitionTypeTag(const TransitionType& type);

// The type a menu tag picks: push, wipe and slide keep the direction of a
// current push, wipe or slide (else move right); the other cases have none;
// an unknown tag keeps the current type.
TransitionType transitionTypeFromTag(std::string_view tag, const TransitionType& current);

// "Left", "Right", "Up", "Down".
QString directionTitle(Direction direction);

} // namespace vexel
