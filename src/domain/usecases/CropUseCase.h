#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

namespace vexel {

// Sets the crop rectangle of a video or image clip in unit-square coordinates,
// keeping its rotation and flips. Cropping an unturned clip to the whole frame
// removes its transform.
class CropUseCase : public SingleCaseHandler<EditCommand::Crop> {
public:
    // The rectangle must have a positive size and lie inside the unit square,
    // with a slack of 1e-9 that is kept as given.
    Project applyTo(Project project, const Uuid& clipId, double x, double y, double width,
                    double height) const;

private:
    Project applyCase(const EditCommand::Crop& command, Project project) const override;
};

} // namespace vexel
