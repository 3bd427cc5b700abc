#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Accepts the actions around the document (export, support reports, tutorial,
// undo, redo) and changes nothing: the view models act on them themselves, so
// passing one through the executor is harmless.
class MetaCommandHandler : public CommandHandler {
public:
    explicit MetaCommandHandler(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    bool canHandle(const EditCommand& command) const override;
    // The repository's current project, unchanged; nothing is saved.
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
