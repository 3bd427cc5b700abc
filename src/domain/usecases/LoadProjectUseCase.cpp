#include "domain/usecases/LoadProjectUseCase.h"

namespace vexel {

Project LoadProjectUseCase::execute(const std::filesystem::path& folder) const {
    Project project = persistence_->load(folder);
    projectRepository_->save(project);
    return project;
}

} // namespace vexel
