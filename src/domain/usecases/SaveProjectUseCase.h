#pragma once

#include "domain/protocols/ProjectPersistence.h"
#include "domain/protocols/ProjectRepository.h"

#include <filesystem>
#include <memory>

namespace vexel {

// Saves the current project into a project folder.
class SaveProjectUseCase {
public:
    SaveProjectUseCase(std::shared_ptr<ProjectRepository> projectRepository,
                       std::shared_ptr<const ProjectPersistence> persistence)
        : projectRepository_(std::move(projectRepository))
        , persistence_(std::move(persistence)) {}

    // Reads the project once, then saves that copy; errors pass through.
    // Returns where the media copied into the folder went.
    MediaRelocation execute(const std::filesystem::path& folder) const;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
    std::shared_ptr<const ProjectPersistence> persistence_;
};

} // namespace vexel
