#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/Project.h"
#include "domain/entities/TrackType.h"

#include <initializer_list>

namespace vexel {

// The clip with that id; EditError::clipNotFound when the project has none.
const Clip& requireClip(const Project& project, const Uuid& clipId);

// EditError::trackTypeMismatch unless the clip is of one of the accepted kinds.
void requireTrackType(const Clip& clip, std::initializer_list<TrackType> accepted);

// Where a clip appended after a track's clips starts: the largest end among
// them, 0 for a track without clips or no track at all.
double endOfTrack(const Track* track);

// Whether a range from `start` lasting `duration` ends within the project's
// maximum duration. A range that ends at no finite time (an infinite or NaN
// start or duration) does not: the project file could not hold it.
bool endsWithinProject(const Project& project, double start, double duration);

} // namespace vexel
