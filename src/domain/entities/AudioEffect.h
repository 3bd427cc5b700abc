#pragma once

#include "domain/entities/AudioEffectType.h"
#include "foundation/Json.h"

namespace vexel {

// One element of a clip's audio effect chain.
struct AudioEffect {
    AudioEffectType type;

    friend bool operator==(const AudioEffect&, const AudioEffect&) = default;
};

// {"type": <AudioEffectType object>}.
void to_json(Json& json, const AudioEffect& effect);
void from_json(const Json& json, AudioEffect& effect);

} // namespace vexel
