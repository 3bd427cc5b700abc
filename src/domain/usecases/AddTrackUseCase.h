#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>
#include <optional>
#include <string>

namespace vexel {

// Adds an empty audio track after all tracks. Duplicate names are allowed.
class AddTrackUseCase : public CommandHandler {
public:
    explicit AddTrackUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // A name that is absent or sanitizes to nothing becomes "Audio <n>".
    Project execute(const std::optional<std::string>& name, TrackType trackType) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
