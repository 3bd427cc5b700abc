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
};

} // namespace vexel
