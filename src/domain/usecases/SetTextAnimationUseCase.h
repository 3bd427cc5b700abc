#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/Project.h"
#include "domain/entities/TextLoopType.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Sets the entrance, exit and loop animation of a text clip, merged with the
// stored one; a command with none of the three clears the animation.
class SetTextAnimationUseCase : public SingleCaseHandler<EditCommand::SetTextAnimation> {
public:
    // A loop's interval lies in [0.1, 10] s, a pulse's scale in [0.5, 3] and a
    // bounce's amplitude in [0, 0.5]; else invalidTextAnimationParameter.
    static void validateLoop(const TextLoopType& loop);

    // A given part replaces its stored counterpart, an absent one keeps it. An
    // easing is taken from the command only with its part, else it stays as
    // stored (ease-out in, ease-in out when nothing is stored).
    Project applyTo(Project project, const EditCommand::SetTextAnimation& edit) const;

private:
    Project applyCase(const EditCommand::SetTextAnimation& command, Project project) const override;
};

} // namespace vexel
