#pragma once

#include "domain/entities/EasingCurve.h"
#include "domain/entities/ImageAnimationType.h"
#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Sets the motion of an image clip, replacing any stored one.
class SetImageAnimationUseCase : public SingleCaseHandler<EditCommand::SetImageAnimation> {
public:
    Project applyTo(Project project, const Uuid& clipId, const ImageAnimationType& type,
                    EasingCurve easing) const;

private:
    // Ken Burns rectangles inside the unit square with a positive size; zoom
    // factors in [1.01, 5]; pan distance and shake intensity in [0, 1];
    // rotation within ±3600 degrees.
    static void validateAnimationParameters(const ImageAnimationType& type);

    Project applyCase(const EditCommand::SetImageAnimation& command,
                      Project project) const override;
};

} // namespace vexel
