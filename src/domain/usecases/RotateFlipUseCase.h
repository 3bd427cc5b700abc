#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace vexel {

// Sets the rotation and flips of a video or image clip, keeping its crop. Given
// values replace the stored ones (a flip is set, not toggled); a result that is
// the identity removes the transform.
class RotateFlipUseCase : public CommandHandler {
public:
    explicit RotateFlipUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // Rotation in degrees: 0, 90, 180 or 270.
    Project applyTo(const Project& project, const Uuid& clipId,
                    std::optional<std::int64_t> rotation, std::optional<bool> flipHorizontal,
                    std::optional<bool> flipVertical) const;
    Project execute(const Uuid& clipId, std::optional<std::int64_t> rotation,
                    std::optional<bool> flipHorizontal, std::optional<bool> flipVertical) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
