#include "data/repositories/InMemoryProjectRepository.h"

namespace vexel {

Project InMemoryProjectRepository::load() const {
    std::lock_guard guard(lock_);
    return project_;
}

void InMemoryProjectRepository::save(const Project& project) {
    // Assigned into the project held, whose tracks and clips mostly have the
    // shape of the new ones: their storage is reused instead of allocated anew,
    // which for a large project is most of the cost of a save.
    std::lock_guard guard(lock_);
    project_ = project;
}

} // namespace vexel
