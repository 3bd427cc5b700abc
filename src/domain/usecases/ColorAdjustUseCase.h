#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>
#include <optional>

namespace vexel {

// Changes the brightness, contrast or saturation of a video or image clip.
// Given components replace the stored ones (or the neutral values); a result
// that is neutral again removes the colour adjustment.
class ColorAdjustUseCase : public CommandHandler {
public:
    explicit ColorAdjustUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // Brightness in [-1, 1], contrast and saturation in [0, 4].
    Project applyTo(const Project& project, const Uuid& clipId, std::optional<double> brightness,
                    std::optional<double> contrast, std::optional<double> saturation) const;
    Project execute(const Uuid& clipId, std::optional<double> brightness,
                    std::optional<double> contrast, std::optional<double> saturation) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
