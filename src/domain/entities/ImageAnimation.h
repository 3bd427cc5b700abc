#pragma once

#include "domain/entities/EasingCurve.h"
#include "domain/entities/ImageAnimationType.h"
#include "foundation/Json.h"

namespace vexel {

// An image clip's motion and the easing of its progress over the clip.
struct ImageAnimation {
    ImageAnimationType type;
    EasingCurve easing = EasingCurve::linear;

    friend bool operator==(const ImageAnimation&, const ImageAnimation&) = default;
};

// {"type": <ImageAnimationType object>, "easing"}, both required.
void to_json(Json& json, const ImageAnimation& animation);
void from_json(const Json& json, ImageAnimation& animation);

} // namespace vexel
