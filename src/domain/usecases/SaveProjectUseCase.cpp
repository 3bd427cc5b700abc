#include "domain/usecases/SaveProjectUseCase.h"

#include "domain/entities/Project.h"

namespace vexel {

MediaRelocation SaveProjectUseCase::execute(const std::filesystem::path& folder) const {
    return persistence_->save(projectRepository_->load(), folder);
}

} // namespace vexel
