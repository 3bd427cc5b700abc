#pragma once

#include "foundation/Json.h"
#include "foundation/RawValueTable.h"

#include <array>
#include <optional>
#include <string_view>

namespace vexel {

// An audio effect named without its parameters. The declaration order is the
// order in which a clip keeps its effects.
enum class AudioEffectKind { pan, pitchShift, reverb, eq, normalize, compressor, ducking };

inline constexpr RawValueTable<AudioEffectKind, 7> audioEffectKindRawValues{
    "AudioEffectKind",
    {{{AudioEffectKind::pan, "pan"},
      {AudioEffectKind::pitchShift, "pitchShift"},
      {AudioEffectKind::reverb, "reverb"},
      {AudioEffectKind::eq, "eq"},
      {AudioEffectKind::normalize, "normalize"},
      {AudioEffectKind::compressor, "compressor"},
      {AudioEffectKind::ducking, "ducking"}}}};

inline constexpr std::array<AudioEffectKind, 7> allAudioEffectKinds =
    audioEffectKindRawValues.cases();

// "pan", "pitchShift", "reverb", "eq", "normalize", "compressor", "ducking".
std::string_view rawValue(AudioEffectKind kind);
// Exact, case-sensitive match of the raw value; anything else is absent.
std::optional<AudioEffectKind> audioEffectKindFromRaw(std::string_view raw);

void to_json(Json& json, AudioEffectKind kind);
// A bare raw-value string; an unknown string is a data-corrupted error.
void from_json(const Json& json, AudioEffectKind& kind);

} // namespace vexel
