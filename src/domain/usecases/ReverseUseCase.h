#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Toggles backwards playback of a video or audio clip: each call flips it.
class ReverseUseCase : public CommandHandler {
public:
    explicit ReverseUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    Project applyTo(const Project& project, const Uuid& clipId) const;
    Project execute(const Uuid& clipId) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
