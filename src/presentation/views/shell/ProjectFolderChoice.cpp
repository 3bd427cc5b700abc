#include "presentation/views/shell/ProjectFolderChoice.h"

#include "data/persistence/ProjectPersistenceService.h"

#include <system_error>

namespace vexel {

namespace {

bool holdsProject(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::is_regular_file(folder / ProjectPersistenceService::projectFileName,
                                            error);
}

} // namespace

ProjectFolderChoice classifyProjectFolder(const std::filesystem::path& folder) {
    using Kind = ProjectFolderChoice::Kind;
    const std::filesystem::path normal = folder.lexically_normal();
    std::filesystem::path named = normal.has_filename() ? normal : normal.parent_path();
    for (std::filesystem::path around = named.parent_path(); !around.empty();
         around = around.parent_path()) {
        if (holdsProject(around)) {
            return {Kind::insideProject, around};
        }
        if (around == around.root_path()) {
            break;
        }
    }
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(named, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return {Kind::absent, {}};
    }
    if (error || !std::filesystem::is_directory(std::filesystem::status(named, error)) || error) {
        return {Kind::occupied, {}};
    }
    if (holdsProject(named)) {
        return {Kind::project, {}};
    }
    const std::filesystem::directory_iterator entries(named, error);
    if (error) {
        return {Kind::occupied, {}};
    }
    return {entries == std::filesystem::directory_iterator() ? Kind::emptyFolder : Kind::occupied,
            {}};
}

} // namespace vexel
