#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

#include <cstdint>
#include <optional>

namespace vexel {

// Sets the rotation and flips of a video or image clip, keeping its crop. Given
// values replace the stored ones (a flip is set, not toggled); a result that is
// the identity removes the transform.
class RotateFlipUseCase : public SingleCaseHandler<EditCommand::RotateFlip> {
public:
    // Rotation in degrees: 0, 90, 180 or 270.
    Project applyTo(Project project, const Uuid& clipId, std::optional<std::int64_t> rotation,
                    std::optional<bool> flipHorizontal, std::optional<bool> flipVertical) const;

private:
    Project applyCase(const EditCommand::RotateFlip& command, Project project) const override;
};

} // namespace vexel
