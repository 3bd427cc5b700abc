#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

#include <optional>

namespace vexel {

// Moves a clip to a new start, on its own track or onto another track of its type.
class MoveClipUseCase : public SingleCaseHandler<EditCommand::Move> {
public:
    // The moved clip keeps every other property and its id. `validateOverlap` is
    // false inside a batch, whose end check catches overlaps instead. The new
    // start is not compared with 0.
    Project applyTo(Project project, const Uuid& clipId, double to,
                    const std::optional<Uuid>& toTrackId, bool validateOverlap) const;

private:
    Project applyCase(const EditCommand::Move& command, Project project) const override;
};

} // namespace vexel
