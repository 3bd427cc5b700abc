#include "domain/entities/AudioEffectType.h"

#include "foundation/JsonReader.h"

#include <string>
#include <type_traits>

namespace vexel {

namespace {

// The variant's alternatives stand in the order of the kinds.
static_assert(std::variant_size_v<AudioEffectType::Payload> == allAudioEffectKinds.size());

Uuid readUuid(const Json& object, std::string_view key) {
    std::string text = json::readString(object, key);
    auto id = Uuid::parse(text);
    if (!id) {
        throw DecodeError::dataCorrupted(std::string(key),
                                         "Attempted to decode UUID from invalid UUID string.");
    }
    return *id;
}

std::vector<EQBand> readBands(const Json& object, std::string_view key) {
    const Json& array = json::readArray(object, key);
    std::vector<EQBand> bands;
    bands.reserve(array.size());
    for (const Json& element : array) {
        bands.push_back(element.get<EQBand>());
    }
    return bands;
}

} // namespace

AudioEffectKind AudioEffectType::kind() const {
    return allAudioEffectKinds[payload_.index()];
}

void to_json(Json& json, const AudioEffectType& type) {
    json = Json::object();
    json["type"] = std::string(rawValue(type.kind()));
    std::visit(
        [&json](const auto& effect) {
            using Case = std::decay_t<decltype(effect)>;
            if constexpr (std::is_same_v<Case, AudioEffectType::Pan>) {
                json["balance"] = effect.balance;
            } else if constexpr (std::is_same_v<Case, AudioEffectType::PitchShift>) {
                json["semitones"] = effect.semitones;
            } else if constexpr (std::is_same_v<Case, AudioEffectType::Reverb>) {
                json["wetDryMix"] = effect.wetDryMix;
            } else if constexpr (std::is_same_v<Case, AudioEffectType::Eq>) {
                json["bands"] = effect.bands;
            } else if constexpr (std::is_same_v<Case, AudioEffectType::Normalize>) {
                json["targetDB"] = effect.targetDB;
            } else if constexpr (std::is_same_v<Case, AudioEffectType::Compressor>) {
                json["threshold"] = effect.threshold;
                json["ratio"] = effect.ratio;
            } else {
                static_assert(std::is_same_v<Case, AudioEffectType::Ducking>);
                json["referenceTrackId"] = effect.referenceTrackId.string();
                json["reduction"] = effect.reduction;
            }
        },
        type.payload());
}

void from_json(const Json& json, AudioEffectType& type) {
    json::expectObject(json);
    std::string name = json::readString(json, "type");
    auto kind = audioEffectKindFromRaw(name);
    if (!kind) {
        throw DecodeError::dataCorrupted("type", "Unknown AudioEffectType: " + name);
    }
    switch (*kind) {
    case AudioEffectKind::pan:
        type = AudioEffectType::pan(json::readDouble(json, "balance"));
        return;
    case AudioEffectKind::pitchShift:
        type = AudioEffectType::pitchShift(json::readDouble(json, "semitones"));
        return;
    case AudioEffectKind::reverb:
        type = AudioEffectType::reverb(json::readDouble(json, "wetDryMix"));
        return;
    case AudioEffectKind::eq:
        type = AudioEffectType::eq(readBands(json, "bands"));
        return;
    case AudioEffectKind::normalize:
        type = AudioEffectType::normalize(json::readDouble(json, "targetDB"));
        return;
    case AudioEffectKind::compressor: {
        double threshold = json::readDouble(json, "threshold");
        double ratio = json::readDouble(json, "ratio");
        type = AudioEffectType::compressor(threshold, ratio);
        return;
    }
    case AudioEffectKind::ducking: {
        Uuid reference = readUuid(json, "referenceTrackId");
        double reduction = json::readDouble(json, "reduction");
        type = AudioEffectType::ducking(reference, reduction);
        return;
    }
    }
}

} // namespace vexel
