#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Sets the crop rectangle of a video or image clip in unit-square coordinates,
// keeping its rotation and flips. Cropping an unturned clip to the whole frame
// removes its transform.
class CropUseCase : public CommandHandler {
public:
    explicit CropUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // The rectangle must have a positive size and lie inside the unit square,
    // with a slack of 1e-9 that is kept as given.
    Project applyTo(const Project& project, const Uuid& clipId, double x, double y, double width,
                    double height) const;
    Project execute(const Uuid& clipId, double x, double y, double width, double height) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
