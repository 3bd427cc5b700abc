#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Sets the opacity of a video or image clip, 0 to 1.
class OpacityUseCase : public CommandHandler {
public:
    explicit OpacityUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    Project applyTo(const Project& project, const Uuid& clipId, double opacity) const;
    Project execute(const Uuid& clipId, double opacity) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
