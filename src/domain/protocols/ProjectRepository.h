#pragma once

namespace vexel {

struct Project;

// The holder of the one current project. Each call copies the project in or out
// under the holder's lock and releases it at once, so a load-change-save sequence
// is not atomic: callers run one project-changing operation at a time.
class ProjectRepository {
public:
    virtual ~ProjectRepository() = default;

    // A copy of the current project.
    virtual Project load() const = 0;
    // Replaces the current project.
    virtual void save(const Project& project) = 0;
};

} // namespace vexel
