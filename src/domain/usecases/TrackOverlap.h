#pragma once

#include "domain/entities/Project.h"
#include "domain/entities/Track.h"

namespace vexel {

// Whether two clips of the track overlap by more than 1e-9 s, or start at the
// same time. Clips that touch pass, and so does a comparison with NaN. This is the one overlap test
// that the clips moved or trimmed inside a batch meet, after the batch's last command.
bool hasInternalOverlap(const Track& track);

// Throws EditError::clipOverlap at the first track with an internal overlap.
void checkNoInternalOverlap(const Project& project);

} // namespace vexel
