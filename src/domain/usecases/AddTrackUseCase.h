#pragma once

#include "domain/entities/Project.h"
#include "domain/usecases/SingleCaseHandler.h"

#include <optional>
#include <string>

namespace vexel {

// Adds an empty audio track after all tracks. Duplicate names are allowed.
class AddTrackUseCase : public SingleCaseHandler<EditCommand::AddTrack> {
public:
    // A name that is absent or sanitizes to nothing becomes "Audio <n>".
    Project applyTo(Project project, const std::optional<std::string>& name,
                    TrackType trackType) const;

private:
    Project applyCase(const EditCommand::AddTrack& add, Project project) const override;
};

} // namespace vexel
