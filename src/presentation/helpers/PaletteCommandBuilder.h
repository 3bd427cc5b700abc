#pragma once

#include "domain/entities/Project.h"

#include <string>
#include <vector>

namespace vexel {

// The instruction templates the command palette offers for a project's clips.
struct PaletteCommandBuilder {
    PaletteCommandBuilder() = delete;

    // For every clip of the non-text tracks (track order, then clip order) the
    // actions its kind allows, then "Remove text: …" for every text clip, then
    // "Add clip to timeline" and "Add text to timeline".
    static std::vector<std::string> buildCommands(const Project& project);
};

} // namespace vexel
