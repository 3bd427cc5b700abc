#pragma once

#include "domain/entities/MediaRelocation.h"
#include "domain/entities/OpenedProject.h"

#include <filesystem>

namespace vexel {

struct Project;

// Saves and loads project folders: "project.json" beside an "assets" folder
// holding copies of the media. Stateless; calls may overlap. Both block on
// the file system and throw PersistenceError.
class ProjectPersistence {
public:
    virtual ~ProjectPersistence() = default;

    // Copies media from outside the folder into "assets" and replaces
    // "project.json" whole; the project itself is not changed. Returns where
    // the copies went, for the caller to move its project onto them.
    virtual MediaRelocation save(const Project& project,
                                 const std::filesystem::path& folder) const = 0;
    // The folder's project and the clips whose media it cannot use.
    virtual OpenedProject open(const std::filesystem::path& folder) const = 0;

    Project load(const std::filesystem::path& folder) const { return open(folder).project; }
};

} // namespace vexel
