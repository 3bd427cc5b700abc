#include "domain/usecases/AddAudioEffectUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <variant>

namespace vexel {

namespace {

bool finiteWithin(double value, double low, double high) {
    return std::isfinite(value) && low <= value && value <= high;
}

bool isValidBand(const EQBand& band) {
    return finiteWithin(band.frequency, 20, 20000) && finiteWithin(band.gain, -24, 24) &&
           finiteWithin(band.bandwidth, 0.05, 5.0);
}

void checkDuckingReference(const Project& project, const Uuid& clipId,
                           const AudioEffectType::Ducking& ducking) {
    const Track* holder = project.findTrackContainingClip(clipId);
    const auto reference =
        std::find_if(project.tracks.begin(), project.tracks.end(),
                     [&](const Track& track) { return track.id == ducking.referenceTrackId; });
    const bool usable =
        reference != project.tracks.end() &&
        (reference->type == TrackType::video || reference->type == TrackType::audio) &&
        (holder == nullptr || holder->id != reference->id);
    if (!usable) {
        throw EditError::duckingReferenceTrackNotFound(ducking.referenceTrackId);
    }
}

} // namespace

void AddAudioEffectUseCase::validateEffectParameters(const AudioEffect& effect) {
    using T = AudioEffectType;
    const bool valid = std::visit(
        [](const auto& e) {
            using Effect = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<Effect, T::Pan>) {
                return finiteWithin(e.balance, -1, 1);
            } else if constexpr (std::is_same_v<Effect, T::PitchShift>) {
                return finiteWithin(e.semitones, -12, 12);
            } else if constexpr (std::is_same_v<Effect, T::Reverb>) {
                return 0 <= e.wetDryMix && e.wetDryMix <= 1;
            } else if constexpr (std::is_same_v<Effect, T::Eq>) {
                return !e.bands.empty() && e.bands.size() <= 10 &&
                       std::all_of(e.bands.begin(), e.bands.end(), isValidBand);
            } else if constexpr (std::is_same_v<Effect, T::Normalize>) {
                return finiteWithin(e.targetDB, -40, 0);
            } else if constexpr (std::is_same_v<Effect, T::Compressor>) {
                return finiteWithin(e.threshold, -60, 0) && finiteWithin(e.ratio, 1, 20);
            } else {
                static_assert(std::is_same_v<Effect, T::Ducking>);
                return 0 <= e.reduction && e.reduction <= 40;
            }
        },
        effect.type.payload());
    if (!valid) {
        throw EditError::invalidAudioEffectParameter();
    }
}

Project AddAudioEffectUseCase::applyTo(Project project, const Uuid& clipId,
                                       const AudioEffect& effect) const {
    const Clip& clip = requireClip(project, clipId);
    if (clip.trackType != TrackType::audio) {
        throw EditError::audioEffectsNotSupported();
    }
    std::vector<AudioEffect> effects = clip.audioEffects.value_or(std::vector<AudioEffect>{});
    if (effects.size() >= maxEffects) {
        throw EditError::maxAudioEffectsReached();
    }
    const AudioEffectKind kind = effect.type.kind();
    if (std::any_of(effects.begin(), effects.end(),
                    [&](const AudioEffect& stored) { return stored.type.kind() == kind; })) {
        throw EditError::duplicateAudioEffect();
    }
    validateEffectParameters(effect);
    if (const auto* ducking = effect.type.getIf<AudioEffectType::Ducking>()) {
        checkDuckingReference(project, clipId, *ducking);
    }

    effects.push_back(effect);
    std::stable_sort(
        effects.begin(), effects.end(),
        [](const AudioEffect& a, const AudioEffect& b) { return a.type.kind() < b.type.kind(); });
    ClipBuilder builder(clip);
    builder.audioEffects = std::move(effects);
    return std::move(project).replacingClip(builder.build());
}

Project AddAudioEffectUseCase::applyCase(const EditCommand::AddAudioEffect& add,
                                         Project project) const {
    return applyTo(std::move(project), add.clipId, add.effect);
}

} // namespace vexel
