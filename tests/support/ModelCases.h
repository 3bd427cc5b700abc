#pragma once

#include "domain/entities/Direction.h"
#include "domain/entities/TextEntranceType.h"
#include "domain/entities/TextExitType.h"
#include "domain/entities/TransitionType.h"

#include <vector>

namespace vexel::testing {

// Every case of the model's enumerations with payloads, in case order, the
// directional ones moving `direction`: generators of test values pick from
// these instead of listing the cases again.

inline std::vector<TransitionType> everyTransitionType(Direction direction) {
    return {TransitionType::push(direction),  TransitionType::wipe(direction),
            TransitionType::slide(direction), TransitionType::fade(),
            TransitionType::crossDissolve(),  TransitionType::spin(),
            TransitionType::flip(),           TransitionType::zoomIn(),
            TransitionType::zoomOut()};
}

inline std::vector<TextEntranceType> everyTextEntrance(Direction direction) {
    return {TextEntranceType::slideIn(direction), TextEntranceType::wipeReveal(direction),
            TextEntranceType::scaleIn(),          TextEntranceType::popIn(),
            TextEntranceType::bounceIn(),         TextEntranceType::fadeIn()};
}

inline std::vector<TextExitType> everyTextExit(Direction direction) {
    return {TextExitType::slideOut(direction),
            TextExitType::wipeOut(direction),
            TextExitType::scaleOut(),
            TextExitType::fadeOut(),
            TextExitType::popOut(),
            TextExitType::bounceOut()};
}

} // namespace vexel::testing
