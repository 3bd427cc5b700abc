#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/ProjectRepository.h"

#include <mutex>

namespace vexel {

// Holds the application's one current project in memory. Each load and save
// takes the lock for that one copy only, so a reader never sees a half-replaced
// project; keeping whole edits from interleaving is the callers' concern.
class InMemoryProjectRepository : public ProjectRepository {
public:
    explicit InMemoryProjectRepository(Project project)
        : project_(std::move(project)) {}

    Project load() const override;
    void save(const Project& project) override;

private:
    mutable std::mutex lock_;
    Project project_;
    // The project a save replaced. The next save copies into it, outside the
    // lock, and swaps it in: its tracks and clips mostly have the shape of the
    // new ones, so their storage is reused rather than allocated anew, which
    // for a large project is most of the cost of a save.
    std::mutex spareLock_;
    Project spare_;
};

} // namespace vexel
