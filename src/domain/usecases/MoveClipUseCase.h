#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/protocols/ProjectRepository.h"

#include <memory>
#include <optional>

namespace vexel {

// Moves a clip to a new start, on its own track or onto another track of its type.
class MoveClipUseCase : public CommandHandler {
public:
    explicit MoveClipUseCase(std::shared_ptr<ProjectRepository> projectRepository)
        : projectRepository_(std::move(projectRepository)) {}

    // The moved clip keeps every other property and its id. `validateOverlap` is
    // false inside a batch, whose end check catches overlaps instead. The new
    // start is not compared with 0.
    Project applyTo(const Project& project, const Uuid& clipId, double to,
                    const std::optional<Uuid>& toTrackId, bool validateOverlap) const;

    // Loads, applies with the overlap test and saves.
    Project execute(const Uuid& clipId, double to, const std::optional<Uuid>& toTrackId) const;

    bool canHandle(const EditCommand& command) const override;
    Project execute(const EditCommand& command, const Project& project) const override;

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
};

} // namespace vexel
