#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

#include <optional>

namespace vexel {

// Changes the brightness, contrast or saturation of a video or image clip.
// Given components replace the stored ones (or the neutral values); a result
// that is neutral again removes the colour adjustment.
class ColorAdjustUseCase : public SingleCaseHandler<EditCommand::ColorAdjust> {
public:
    // Brightness in [-1, 1], contrast and saturation in [0, 4].
    Project applyTo(Project project, const Uuid& clipId, std::optional<double> brightness,
                    std::optional<double> contrast, std::optional<double> saturation) const;

private:
    Project applyCase(const EditCommand::ColorAdjust& command, Project project) const override;
};

} // namespace vexel
