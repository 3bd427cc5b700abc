#include "domain/entities/AudioEffectKind.h"

#include "foundation/JsonReader.h"

#include <string>

namespace vexel {

std::string_view rawValue(AudioEffectKind kind) {
    switch (kind) {
    case AudioEffectKind::pan:
        return "pan";
    case AudioEffectKind::pitchShift:
        return "pitchShift";
    case AudioEffectKind::reverb:
        return "reverb";
    case AudioEffectKind::eq:
        return "eq";
    case AudioEffectKind::normalize:
        return "normalize";
    case AudioEffectKind::compressor:
        return "compressor";
    case AudioEffectKind::ducking:
        return "ducking";
    }
    return "pan";
}

std::optional<AudioEffectKind> audioEffectKindFromRaw(std::string_view raw) {
    for (AudioEffectKind kind : allAudioEffectKinds) {
        if (rawValue(kind) == raw) {
            return kind;
        }
    }
    return std::nullopt;
}

void to_json(Json& json, AudioEffectKind kind) {
    json = std::string(rawValue(kind));
}

void from_json(const Json& json, AudioEffectKind& kind) {
    std::string raw = json::asString(json);
    auto parsed = audioEffectKindFromRaw(raw);
    if (!parsed) {
        throw DecodeError::dataCorrupted(
            "", "Cannot initialize AudioEffectKind from invalid String value " + raw);
    }
    kind = *parsed;
}

} // namespace vexel
