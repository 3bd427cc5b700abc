#include "data/repositories/InMemoryProjectRepository.h"

#include <utility>

namespace vexel {

Project InMemoryProjectRepository::load() const {
    std::lock_guard guard(lock_);
    return project_;
}

void InMemoryProjectRepository::save(const Project& project) {
    std::lock_guard spareGuard(spareLock_);
    // A copy that fails halfway spoils only the spare, never the project held.
    spare_ = project;
    std::lock_guard guard(lock_);
    std::swap(project_, spare_);
}

} // namespace vexel
