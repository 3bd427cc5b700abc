#pragma once

#include "domain/entities/EasingCurve.h"
#include "domain/entities/TextEntranceType.h"
#include "domain/entities/TextExitType.h"
#include "domain/entities/TextLoopType.h"
#include "foundation/Json.h"

#include <optional>

namespace vexel {

// A text clip's entrance, exit and loop, each optional, with the easings of
// the entrance and the exit. All three absent is a valid value.
struct TextAnimation {
    std::optional<TextEntranceType> entrance;
    std::optional<TextExitType> exit;
    std::optional<TextLoopType> loop;
    // The defaults are those the text-animation edit gives a clip without animation.
    EasingCurve entranceEasing = EasingCurve::easeOut;
    EasingCurve exitEasing = EasingCurve::easeIn;

    friend bool operator==(const TextAnimation&, const TextAnimation&) = default;
};

// "entrance", "exit", "loop" when present, then both easings always.
void to_json(Json& json, const TextAnimation& animation);
// Missing or null animations are absent; both easings are required.
void from_json(const Json& json, TextAnimation& animation);

} // namespace vexel
