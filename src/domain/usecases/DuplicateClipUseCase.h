#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>
#include <optional>

namespace vexel {

// Copies a clip, effects and all, under a new id and a generated name onto the
// clip's own track: at `at`, or right after the clip. Always tests for overlap,
// inside a batch too. The start is not compared with 0.
class DuplicateClipUseCase : public CommandHandler {
public:
    explicit DuplicateClipUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    Project applyTo(const Project& project, const Uuid& clipId, std::optional<double> at) const;
    Project execute(const Uuid& clipId, std::optional<double> at) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
