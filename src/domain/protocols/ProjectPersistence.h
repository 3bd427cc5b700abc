#pragma once

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
    // "project.json" whole; the project itself is not changed.
    virtual void save(const Project& project, const std::filesystem::path& folder) const = 0;
    virtual Project load(const std::filesystem::path& folder) const = 0;
};

} // namespace vexel
