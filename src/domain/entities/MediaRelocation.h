#pragma once

#include "domain/entities/Project.h"

#include <filesystem>
#include <map>

namespace vexel {

// Where a save put its copies of the media that lay outside the project
// folder: each original file's path and its copy's path inside the folder.
// The open document moves onto the copies, so that the next save finds its
// media inside the folder and copies nothing, and the originals may go.
struct MediaRelocation {
    // Original path -> path of the copy, both as the clips name them.
    std::map<std::filesystem::path, std::filesystem::path> copies;

    bool empty() const { return copies.empty(); }

    // Every clip whose media is an original names its copy instead; nothing
    // else changes.
    Project applied(Project project) const;

    friend bool operator==(const MediaRelocation&, const MediaRelocation&) = default;
};

} // namespace vexel
