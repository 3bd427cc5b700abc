#pragma once

#include "domain/entities/Clip.h"

namespace vexel {

// A clip whose length changed keeps its fade range only while the fade still
// ends inside it; otherwise the range is dropped.
Clip applyingFadeRangeRule(const Clip& clip);

} // namespace vexel
