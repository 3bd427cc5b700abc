#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>

namespace vexel {

// Sets a clip's in-point in the media and its length on the timeline; its start
// stays. Makes no overlap test: inside a batch the end check catches a trim into
// a neighbour.
class TrimClipUseCase : public CommandHandler {
public:
    explicit TrimClipUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    Project applyTo(const Project& project, const Uuid& clipId, double sourceStart,
                    double duration) const;
    Project execute(const Uuid& clipId, double sourceStart, double duration) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
