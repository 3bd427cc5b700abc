#pragma once

#include "presentation/views/timeline/TimelineInspectors.h"

namespace vexel {

class IconRegistry;

// The forms of the timeline's inspectors: each opening makes a fresh form
// from the clip asked for, which lives as long as its popup. `icons` must
// outlive every form made.
TimelineInspectors::Forms inspectorForms(const IconRegistry& icons);

} // namespace vexel
