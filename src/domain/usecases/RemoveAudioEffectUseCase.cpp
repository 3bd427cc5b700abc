#include "domain/usecases/RemoveAudioEffectUseCase.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/usecases/ClipEditSteps.h"

#include <algorithm>

namespace vexel {

Project RemoveAudioEffectUseCase::applyTo(const Project& project, const Uuid& clipId,
                                          AudioEffectKind kind) const {
    const Clip& clip = requireClip(project, clipId);
    if (clip.trackType != TrackType::audio) {
        throw EditError::audioEffectsNotSupported();
    }
    std::vector<AudioEffect> effects = clip.audioEffects.value_or(std::vector<AudioEffect>{});
    std::erase_if(effects, [&](const AudioEffect& effect) { return effect.type.kind() == kind; });
    ClipBuilder builder(clip);
    builder.audioEffects = effects.empty() ? std::nullopt : std::optional(std::move(effects));
    return project.replacingClip(builder.build());
}

Project RemoveAudioEffectUseCase::execute(const Uuid& clipId, AudioEffectKind kind) const {
    return applyAndSave(*projectRepository_,
                        [&](const Project& project) { return applyTo(project, clipId, kind); });
}

bool RemoveAudioEffectUseCase::canHandle(const EditCommand& command) const {
    return command.is<EditCommand::RemoveAudioEffect>();
}

Project RemoveAudioEffectUseCase::execute(const EditCommand& command, const Project&) const {
    const auto* remove = command.getIf<EditCommand::RemoveAudioEffect>();
    if (remove == nullptr) {
        throw EditError::unsupportedCommand();
    }
    return execute(remove->clipId, remove->kind);
}

} // namespace vexel
