#pragma once

#include "domain/entities/EasingCurve.h"
#include "domain/entities/ImageAnimationType.h"
#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Sets the motion of an image clip, replacing any stored one.
class SetImageAnimationUseCase : public CommandHandler {
public:
    explicit SetImageAnimationUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    Project applyTo(const Project& project, const Uuid& clipId, const ImageAnimationType& type,
                    EasingCurve easing) const;
    Project execute(const Uuid& clipId, const ImageAnimationType& type, EasingCurve easing) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    // Ken Burns rectangles inside the unit square with a positive size; zoom
    // factors in [1.01, 5]; pan distance and shake intensity in [0, 1];
    // rotation within ±3600 degrees.
    static void validateAnimationParameters(const ImageAnimationType& type);

    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
