#pragma once

#include "domain/entities/TrackType.h"

#include <array>

namespace vexel {

// The sections of the effect inspector, in the order it lists them.
enum class EffectSection { transitions, opacity, colorAdjust, filter, speed, volume };

inline constexpr std::array<EffectSection, 6> allEffectSections = {
    EffectSection::transitions, EffectSection::opacity, EffectSection::colorAdjust,
    EffectSection::filter,      EffectSection::speed,   EffectSection::volume};

// Whether the section can apply to a clip of this track type: transitions,
// opacity, colour and filter to video and image; speed and volume to video and
// audio; nothing to text.
bool appliesTo(EffectSection section, TrackType trackType);

} // namespace vexel
