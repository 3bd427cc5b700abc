#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/Project.h"
#include "domain/entities/TextLoopType.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Sets the entrance, exit and loop animation of a text clip, merged with the
// stored one; a command with none of the three clears the animation.
class SetTextAnimationUseCase : public CommandHandler {
public:
    explicit SetTextAnimationUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // A loop's interval lies in [0.1, 10] s, a pulse's scale in [0.5, 3] and a
    // bounce's amplitude in [0, 0.5]; else invalidTextAnimationParameter.
    static void validateLoop(const TextLoopType& loop);

    // A given part replaces its stored counterpart, an absent one keeps it. An
    // easing is taken from the command only with its part, else it stays as
    // stored (ease-out in, ease-in out when nothing is stored).
    Project applyTo(const Project& project, const EditCommand::SetTextAnimation& edit) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
