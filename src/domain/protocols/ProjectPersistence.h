#pragma once

#include "domain/entities/MediaRelocation.h"
#include "domain/entities/OpenedProject.h"

#include <filesystem>
#include <optional>

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
    // `sourceFolder`: the project folder the project was opened from or last
    // saved to, when it has one: its media are copied on the terms on which
    // an opened folder's media are used.
    virtual MediaRelocation
    save(const Project& project, const std::filesystem::path& folder,
         const std::optional<std::filesystem::path>& sourceFolder) const = 0;
    MediaRelocation save(const Project& project, const std::filesystem::path& folder) const {
        return save(project, folder, std::nullopt);
    }
    // The folder's project and the clips whose media it cannot use.
    virtual OpenedProject open(const std::filesystem::path& folder) const = 0;

    Project load(const std::filesystem::path& folder) const { return open(folder).project; }
};

} // namespace vexel
