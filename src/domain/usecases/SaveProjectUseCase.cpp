#include "domain/usecases/SaveProjectUseCase.h"

#include "domain/entities/Project.h"

namespace vexel {

void SaveProjectUseCase::execute(const std::filesystem::path& folder) const {
    persistence_->save(projectRepository_->load(), folder);
}

} // namespace vexel
