#include "data/persistence/ProjectPersistenceService.h"

#include "data/persistence/AssetPaths.h"
#include "data/persistence/FolderMediaCheck.h"
#include "data/persistence/ProjectFile.h"
#include "domain/entities/PersistenceError.h"
#include "domain/entities/Project.h"
#include "foundation/AtomicFileWriter.h"
#include "foundation/DecodeError.h"
#include "foundation/FileContents.h"
#include "foundation/FolderLock.h"
#include "foundation/Uuid.h"

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

// Names each clip whose media cannot be used: a stored path that climbs out
// of the folder (the clip was given no media), a file that a link takes out
// of it (the clip loses its media here, so that nothing reads or copies it
// later), and a file that is missing, unreadable or not a regular file.
void reportUnavailableMedia(const PersistedProject& stored, const std::filesystem::path& base,
                            OpenedProject& opened) {
    FolderMediaCheck check(base);
    for (std::size_t t = 0; t < opened.project.tracks.size(); ++t) {
        std::vector<Clip>& clips = opened.project.tracks[t].clips;
        for (std::size_t c = 0; c < clips.size(); ++c) {
            Clip& clip = clips[c];
            std::optional<UnavailableMedia::Reason> reason;
            if (!clip.assetURL) {
                const std::optional<std::string>* path =
                    t < stored.tracks.size() && c < stored.tracks[t].clips.size()
                        ? &stored.tracks[t].clips[c].assetPath
                        : nullptr;
                if (path && *path) {
                    reason = (*path)->empty() ? UnavailableMedia::Reason::missing
                                              : UnavailableMedia::Reason::outsideFolder;
                }
            } else if (const auto finding = check.check(*clip.assetURL)) {
                reason = finding->reason;
                if (!finding->keepsMedia) {
                    clip.assetURL.reset();
                }
            }
            if (reason) {
                opened.unavailableMedia.push_back({clip.id, clip.assetName, *reason});
            }
        }
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

MediaRelocation ProjectPersistenceService::save(const Project& project,
                                                const std::filesystem::path& folder) const {
    const std::filesystem::path base = std::filesystem::absolute(folder);
    const std::filesystem::path assets = base / assetsFolderName;
    std::error_code created;
    std::filesystem::create_directories(assets, created);
    // An "assets" that is a link would take the copies out of the folder.
    if (created || !std::filesystem::is_directory(std::filesystem::symlink_status(assets))) {
        throw PersistenceError::directoryCreationFailed();
    }
    // Saves of one folder, from this process or another, take turns.
    const std::optional<FolderLock> lock = FolderLock::lockIfPossible(base);
    removeLeftovers(base, lock);

    const assetpaths::ProjectFolder packageFolder(base);
    // One copy per file, however many clips use it: the pieces of a split
    // clip share their file, and each would otherwise cost a whole copy.
    MediaRelocation relocation;
    for (const Track& track : project.tracks) {
        for (const Clip& clip : track.clips) {
            if (!clip.assetURL || packageFolder.relativePathOf(*clip.assetURL) ||
                relocation.copies.contains(*clip.assetURL)) {
                continue;
            }
            try {
                const std::string name = copyIntoAssets(*clip.assetURL, assets);
                relocation.copies[*clip.assetURL] =
                    assetpaths::normalized(base) / assetsFolderName / name;
            } catch (const std::exception&) {
                throw PersistenceError::assetCopyFailed(assetpaths::fileName(*clip.assetURL));
            }
        }
    }

    // Stored as the folder's own copies, so the file never names an outside one.
    const ProjectFile file{ProjectFile::currentVersion,
                           PersistedProject::from(relocation.applied(project), packageFolder)};
    const std::string bytes = file.encoded(ProjectFile::Layout::prettySortedKeys);
    try {
        writeFileAtomically(base / projectFileName, bytes);
    } catch (const std::exception&) {
        throw PersistenceError::assetCopyFailed(projectFileName);
    }
    return relocation;
}

OpenedProject ProjectPersistenceService::open(const std::filesystem::path& folder) const {
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
    OpenedProject opened{file.project.toProject(base), {}};
    reportUnavailableMedia(file.project, base, opened);
    return opened;
}

} // namespace vexel
