#pragma once

// Whether a clip added to a project plays: composed alone as the export
// composes it and read back through the real reader.

#include "domain/entities/Clip.h"
#include "domain/entities/Project.h"

namespace vexel::testing {

// Whether the clip's frame half a second in shows the blue picture of the
// foreign samples: the clip is decoded, not a black stand-in.
bool showsItsPicture(const Project& project, const Clip& clip);

// Whether the clip is heard from a quarter of a second in.
bool soundsAloud(const Project& project, const Clip& clip);

} // namespace vexel::testing
