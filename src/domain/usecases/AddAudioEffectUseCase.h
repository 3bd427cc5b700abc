#pragma once

#include "domain/entities/AudioEffect.h"
#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Adds one effect to the chain of an audio clip. A clip holds at most one
// effect of each kind and at most 8 in all, always in the order of
// AudioEffectKind; an empty chain is stored as none.
class AddAudioEffectUseCase : public SingleCaseHandler<EditCommand::AddAudioEffect> {
public:
    static constexpr std::size_t maxEffects = 8;

    // An effect of a kind the clip already has is refused, not replaced. Ducking
    // must refer to another video or audio track of the project.
    Project applyTo(Project project, const Uuid& clipId, const AudioEffect& effect) const;

private:
    // Every parameter finite and within its range; else invalidAudioEffectParameter.
    static void validateEffectParameters(const AudioEffect& effect);

    Project applyCase(const EditCommand::AddAudioEffect& command, Project project) const override;
};

} // namespace vexel
