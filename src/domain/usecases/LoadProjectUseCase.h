#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/ProjectPersistence.h"
#include "domain/protocols/ProjectRepository.h"

#include <filesystem>
#include <memory>

namespace vexel {

// Opens a project folder and makes its project the current one.
class LoadProjectUseCase {
public:
    LoadProjectUseCase(std::shared_ptr<ProjectRepository> projectRepository,
                       std::shared_ptr<const ProjectPersistence> persistence)
        : projectRepository_(std::move(projectRepository))
        , persistence_(std::move(persistence)) {}

    // Stores and returns the loaded project; on failure the current project
    // stays and the error passes through.
    Project execute(const std::filesystem::path& folder) const;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
    std::shared_ptr<const ProjectPersistence> persistence_;
};

} // namespace vexel
