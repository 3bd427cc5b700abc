#pragma once

#include "domain/entities/Project.h"
#include "domain/entities/UnavailableMedia.h"

#include <vector>

namespace vexel {

// A project read from its folder, with the clips whose media it cannot use,
// in track order, then clip order.
struct OpenedProject {
    Project project;
    std::vector<UnavailableMedia> unavailableMedia;

    friend bool operator==(const OpenedProject&, const OpenedProject&) = default;
};

} // namespace vexel
