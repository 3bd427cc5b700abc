#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/Project.h"
#include "domain/entities/TrackType.h"
#include "domain/protocols/ProjectRepository.h"

#include <initializer_list>
#include <utility>

namespace vexel {

// The clip with that id; EditError::clipNotFound when the project has none.
const Clip& requireClip(const Project& project, const Uuid& clipId);

// EditError::trackTypeMismatch unless the clip is of one of the accepted kinds.
void requireTrackType(const Clip& clip, std::initializer_list<TrackType> accepted);

// Reads the repository's project once, applies the pure edit and saves its
// result. A failing edit throws before the save, so the repository keeps the
// project it had.
template <typename Edit> Project applyAndSave(ProjectRepository& repository, Edit&& edit) {
    Project result = std::forward<Edit>(edit)(repository.load());
    repository.save(result);
    return result;
}

} // namespace vexel
