#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>
#include <optional>

namespace vexel {

// Places an image clip over the video: its centre and its scale. Values out of
// range are clamped rather than rejected, since they come from dragging.
class TransformImageOverlayUseCase : public CommandHandler {
public:
    explicit TransformImageOverlayUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // Given values replace the stored placement (or the centred, unscaled one);
    // the result is always stored, even when nothing was given.
    Project applyTo(const Project& project, const Uuid& clipId, std::optional<double> x,
                    std::optional<double> y, std::optional<double> scale) const;
    Project execute(const Uuid& clipId, std::optional<double> x, std::optional<double> y,
                    std::optional<double> scale) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
