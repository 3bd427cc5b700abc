#pragma once

#include "domain/entities/AudioEffectKind.h"
#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Removes the effect of one kind from an audio clip's chain. A kind the clip
// does not have removes nothing and is no error; the project is saved anyway.
class RemoveAudioEffectUseCase : public CommandHandler {
public:
    explicit RemoveAudioEffectUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    Project applyTo(const Project& project, const Uuid& clipId, AudioEffectKind kind) const;
    Project execute(const Uuid& clipId, AudioEffectKind kind) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
