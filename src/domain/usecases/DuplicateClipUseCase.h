#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

#include <optional>

namespace vexel {

// Copies a clip, effects and all, under a new id and a generated name onto the
// clip's own track: at `at`, or right after the clip. Always tests for overlap,
// inside a batch too. The start is not compared with 0.
class DuplicateClipUseCase : public SingleCaseHandler<EditCommand::DuplicateClip> {
public:
    Project applyTo(Project project, const Uuid& clipId, std::optional<double> at) const;

private:
    Project applyCase(const EditCommand::DuplicateClip& command, Project project) const override;
};

} // namespace vexel
