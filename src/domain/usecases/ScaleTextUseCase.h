#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Sets the rendering scale of a text clip, 0.1 to 5.
class ScaleTextUseCase : public CommandHandler {
public:
    static constexpr double minScale = 0.1;
    static constexpr double maxScale = 5.0;

    explicit ScaleTextUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    Project applyTo(const Project& project, const Uuid& clipId, double scale) const;
    Project execute(const Uuid& clipId, double scale) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
