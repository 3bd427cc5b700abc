#pragma once

#include "domain/entities/AudioEffectKind.h"
#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Removes the effect of one kind from an audio clip's chain. A kind the clip
// does not have removes nothing and is no error; the project is saved anyway.
class RemoveAudioEffectUseCase : public SingleCaseHandler<EditCommand::RemoveAudioEffect> {
public:
    Project applyTo(Project project, const Uuid& clipId, AudioEffectKind kind) const;

private:
    Project applyCase(const EditCommand::RemoveAudioEffect& command,
                      Project project) const override;
};

} // namespace vexel
