#pragma once

#include "domain/entities/AudioEffect.h"
#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Adds one effect to the chain of an audio clip. A clip holds at most one
// effect of each kind and at most 8 in all, always in the order of
// AudioEffectKind; an empty chain is stored as none.
class AddAudioEffectUseCase : public CommandHandler {
public:
    static constexpr std::size_t maxEffects = 8;

    explicit AddAudioEffectUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // An effect of a kind the clip already has is refused, not replaced. Ducking
    // must refer to another video or audio track of the project.
    Project applyTo(const Project& project, const Uuid& clipId, const AudioEffect& effect) const;
    Project execute(const Uuid& clipId, const AudioEffect& effect) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    // Every parameter finite and within its range; else invalidAudioEffectParameter.
    static void validateEffectParameters(const AudioEffect& effect);

    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
