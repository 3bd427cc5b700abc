#include "data/repositories/InMemoryProjectRepository.h"

#include <utility>

namespace vexel {

Project InMemoryProjectRepository::load() const {
    std::lock_guard guard(lock_);
    return project_;
}

void InMemoryProjectRepository::save(const Project& project) {
    // Copy in and free the old project outside the lock, so that the lock is
    // held only for the swap.
    Project replacement = project;
    std::lock_guard guard(lock_);
    std::swap(project_, replacement);
}

} // namespace vexel
