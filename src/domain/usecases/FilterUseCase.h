#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>
#include <optional>
#include <string>

namespace vexel {

// Sets or clears the look filter of a video or image clip.
class FilterUseCase : public CommandHandler {
public:
    explicit FilterUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // An empty name or "none" clears the filter without looking at the
    // intensity. Any other name must be a supported preset, matched exactly;
    // the intensity, in [0, 1], is 1 when absent.
    Project applyTo(const Project& project, const Uuid& clipId, const std::string& filterName,
                    std::optional<double> intensity) const;
    Project execute(const Uuid& clipId, const std::string& filterName,
                    std::optional<double> intensity) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
