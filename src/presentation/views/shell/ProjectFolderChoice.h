#pragma once

#include <filesystem>

namespace vexel {

// What saving a project into a chosen folder would do to what is there.
struct ProjectFolderChoice {
    enum class Kind {
        // Nothing of that name: the folder is made.
        absent,
        // An empty folder: the project fills it.
        emptyFolder,
        // A project's folder: saving replaces that project.
        project,
        // A file, or a folder of other things: never written into.
        occupied,
        // Inside another project's folder: never written there.
        insideProject,
    };

    Kind kind = Kind::absent;
    // For insideProject: the folder of the project around it.
    std::filesystem::path enclosingProject;
};

// Looks at `folder` (absolute) and at the folders around it. A folder that
// cannot be read counts as occupied.
ProjectFolderChoice classifyProjectFolder(const std::filesystem::path& folder);

} // namespace vexel
