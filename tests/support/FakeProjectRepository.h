#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/ProjectRepository.h"

#include <stdexcept>
#include <vector>

namespace vexel::testing {

// Holds the project like the real repository and records every save, so tests
// can tell "saved nothing" from "saved the same project".
class FakeProjectRepository : public ProjectRepository {
public:
    explicit FakeProjectRepository(Project project)
        : project_(std::move(project)) {}

    Project load() const override {
        ++loadCount;
        return project_;
    }
    void save(const Project& project) override {
        if (failSaves) {
            throw std::runtime_error("the repository refuses to save");
        }
        saved.push_back(project);
        project_ = project;
    }

    const Project& current() const { return project_; }

    mutable int loadCount = 0;
    bool failSaves = false;
    std::vector<Project> saved;

private:
    Project project_;
};

} // namespace vexel::testing
