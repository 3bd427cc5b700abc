#include "domain/usecases/RemoveAudioEffectUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

#include <algorithm>

namespace vexel {

Project RemoveAudioEffectUseCase::applyTo(Project project, const Uuid& clipId,
                                          AudioEffectKind kind) const {
    const Clip& clip = requireClip(project, clipId);
    if (clip.trackType != TrackType::audio) {
        throw EditError::audioEffectsNotSupported();
    }
    std::vector<AudioEffect> effects = clip.audioEffects.value_or(std::vector<AudioEffect>{});
    std::erase_if(effects, [&](const AudioEffect& effect) { return effect.type.kind() == kind; });
    ClipBuilder builder(clip);
    builder.audioEffects = effects.empty() ? std::nullopt : std::optional(std::move(effects));
    return std::move(project).replacingClip(builder.build());
}

Project RemoveAudioEffectUseCase::applyCase(const EditCommand::RemoveAudioEffect& remove,
                                            Project project) const {
    return applyTo(std::move(project), remove.clipId, remove.kind);
}

} // namespace vexel
