#include "data/persistence/ProjectPersistenceService.h"

#include "data/persistence/AssetPaths.h"
#include "data/persistence/ProjectFile.h"
#include "domain/entities/PersistenceError.h"
#include "domain/entities/Project.h"
#include "foundation/AtomicFileWriter.h"
#include "foundation/DecodeError.h"
#include "foundation/FileContents.h"
#include "foundation/FolderLock.h"
#include "foundation/Uuid.h"

#include <map>
#include <optional>
#include <system_error>

namespace vexel {

namespace {

constexpr int kNameAttempts = 16;

// Copies the file into the assets folder under its own name, or a suffixed
// one when that is taken, and returns the name used. The copy appears whole
// or not at all, and never replaces a file that is there.
std::string copyIntoAssets(const std::filesystem::path& source,
                           const std::filesystem::path& assets) {
    std::string name = assetpaths::fileName(source);
    AtomicFileWriter writer(assets / name);
    writer.copyFrom(source);
    for (int attempt = 0;; ++attempt) {
        try {
            writer.commitWithoutReplacing(assets / name);
            return name;
        } catch (const std::filesystem::filesystem_error& error) {
            if (error.code() != std::errc::file_exists || attempt + 1 == kNameAttempts) {
                throw;
            }
        }
        name = ProjectPersistenceService::suffixedName(assetpaths::fileName(source));
    }
}

// Removes what saves killed half-way left in the folder and its "assets":
// under `lock`, which every save of the folder holds, so no live writer's
// temporary file goes. Without the lock (a file system that cannot lock)
// nothing is removed.
void removeLeftovers(const std::filesystem::path& base, const std::optional<FolderLock>& lock) {
    if (lock) {
        removeLeftoverTemporaries(base);
        removeLeftoverTemporaries(base / ProjectPersistenceService::assetsFolderName);
    }
}

} // namespace

std::string ProjectPersistenceService::suffixedName(const std::string& name) {
    std::string suffix = "_" + Uuid::random().string().substr(0, 8);
    std::filesystem::path path(name);
    // ".mov", or "" when there is none; a bare trailing dot is dropped rather
    // than left dangling after the suffix.
    std::string extension = path.extension().string();
    return path.stem().string() + suffix + (extension.size() > 1 ? extension : "");
}

void ProjectPersistenceService::save(const Project& project,
                                     const std::filesystem::path& folder) const {
    const std::filesystem::path base = std::filesystem::absolute(folder);
    const std::filesystem::path assets = base / assetsFolderName;
    std::error_code created;
    std::filesystem::create_directories(assets, created);
    if (created) {
        throw PersistenceError::directoryCreationFailed();
    }
    // Saves of one folder, from this process or another, take turns.
    const std::optional<FolderLock> lock = FolderLock::lockIfPossible(base);
    removeLeftovers(base, lock);

    const assetpaths::ProjectFolder packageFolder(base);
    std::map<Uuid, std::string> copiedPaths;
    for (const Track& track : project.tracks) {
        for (const Clip& clip : track.clips) {
            if (!clip.assetURL || packageFolder.relativePathOf(*clip.assetURL)) {
                continue;
            }
            try {
                copiedPaths[clip.id] =
                    std::string(assetsFolderName) + "/" + copyIntoAssets(*clip.assetURL, assets);
            } catch (const std::exception&) {
                throw PersistenceError::assetCopyFailed(assetpaths::fileName(*clip.assetURL));
            }
        }
    }

    ProjectFile file{ProjectFile::currentVersion, PersistedProject::from(project, packageFolder)};
    for (PersistedTrack& track : file.project.tracks) {
        for (PersistedClip& clip : track.clips) {
            if (auto copied = copiedPaths.find(clip.clip.id); copied != copiedPaths.end()) {
                clip.assetPath = copied->second;
            }
        }
    }
    const std::string bytes = file.encoded(ProjectFile::Layout::prettySortedKeys);
    try {
        writeFileAtomically(base / projectFileName, bytes);
    } catch (const std::exception&) {
        throw PersistenceError::assetCopyFailed(projectFileName);
    }
}

Project ProjectPersistenceService::load(const std::filesystem::path& folder) const {
    const std::filesystem::path base = std::filesystem::absolute(folder);
    // A save at work in the folder keeps its files; the leftovers wait.
    removeLeftovers(base, FolderLock::tryLock(base));
    std::string bytes;
    try {
        bytes = readFileContents(base / projectFileName, ProjectFile::maxFileBytes);
    } catch (const std::filesystem::filesystem_error& error) {
        if (error.code() == std::errc::file_too_large) {
            // No project is that large: what is there is not a project file.
            throw PersistenceError::decodingFailed("Invalid project file format");
        }
        throw PersistenceError::fileNotFound(projectFileName);
    }
    ProjectFile file;
    try {
        file = ProjectFile::decoded(bytes);
    } catch (const DecodeError&) {
        throw PersistenceError::decodingFailed("Invalid project file format");
    } catch (const nlohmann::json::exception&) {
        throw PersistenceError::decodingFailed("Invalid project file format");
    }
    if (file.version != ProjectFile::currentVersion) {
        throw PersistenceError::decodingFailed("Unsupported project file version " +
                                               std::to_string(file.version));
    }
    return file.project.toProject(base);
}

} // namespace vexel
