#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Cuts a clip in two at a timeline time strictly inside it. Both halves get new
// ids and generated names and take the split clip's place in its track.
class SplitClipUseCase : public CommandHandler {
public:
    explicit SplitClipUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    Project applyTo(const Project& project, const Uuid& clipId, double at) const;
    Project execute(const Uuid& clipId, double at) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
