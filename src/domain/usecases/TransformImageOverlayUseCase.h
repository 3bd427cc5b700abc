#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

#include <optional>

namespace vexel {

// Places an image clip over the video: its centre and its scale. Values out of
// range are clamped rather than rejected, since they come from dragging.
class TransformImageOverlayUseCase : public SingleCaseHandler<EditCommand::TransformImageOverlay> {
public:
    // Given values replace the stored placement (or the centred, unscaled one);
    // the result is always stored, even when nothing was given.
    Project applyTo(Project project, const Uuid& clipId, std::optional<double> x,
                    std::optional<double> y, std::optional<double> scale) const;

private:
    Project applyCase(const EditCommand::TransformImageOverlay& command,
                      Project project) const override;
};

} // namespace vexel
