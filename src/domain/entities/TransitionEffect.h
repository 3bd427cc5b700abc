#pragma once

#include "domain/entities/EasingCurve.h"
#include "domain/entities/TransitionType.h"
#include "foundation/Json.h"

namespace vexel {

// A clip's entrance or exit transition: how long, what, and how it is eased.
struct TransitionEffect {
    // Seconds; from the clip's start for a transition in, back from its end for one out.
    double duration = 0;
    TransitionType type;
    EasingCurve easing = EasingCurve::linear;

    friend bool operator==(const TransitionEffect&, const TransitionEffect&) = default;
};

// {"duration", "type", "easing"}, the easing always written.
void to_json(Json& json, const TransitionEffect& effect);
// A missing or null "easing" reads as linear.
void from_json(const Json& json, TransitionEffect& effect);

} // namespace vexel
