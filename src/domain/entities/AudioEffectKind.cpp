#include "domain/entities/AudioEffectKind.h"

namespace vexel {

std::string_view rawValue(AudioEffectKind kind) {
    return audioEffectKindRawValues.raw(kind);
}

std::optional<AudioEffectKind> audioEffectKindFromRaw(std::string_view raw) {
    return audioEffectKindRawValues.fromRaw(raw);
}

void to_json(Json& json, AudioEffectKind kind) {
    audioEffectKindRawValues.encode(json, kind);
}

void from_json(const Json& json, AudioEffectKind& kind) {
    kind = audioEffectKindRawValues.decode(json);
}

} // namespace vexel
