#include "data/persistence/ProjectPersistenceService.h"

#include "data/persistence/AssetPaths.h"
#include "data/persistence/FolderBuiltAside.h"
#include "data/persistence/FolderMediaCheck.h"
#include "data/persistence/ProjectFile.h"
#include "domain/entities/PersistenceError.h"
#include "domain/entities/Project.h"
#include "foundation/AtomicFileWriter.h"
#include "foundation/DataHome.h"
#include "foundation/DecodeError.h"
#include "foundation/FileContents.h"
#include "foundation/FolderHandle.h"
#include "foundation/FolderLock.h"
#include "foundation/Uuid.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace vexel {

namespace {

using Reason = UnavailableMedia::Reason;

constexpr int kNameAttempts = 16;

// One media file that the save copies, and the clips that use it.
struct PlannedCopy {
    std::filesystem::path original; // as the clips name it
    std::filesystem::path source;   // what is read: no link on its way where it matters
    std::vector<const Clip*> clips;
};

// Why a file cannot be copied, as a copy would meet it: a link (wherever it
// leads), a pipe, folder or device, a file that is gone or may not be read.
std::optional<Reason> unfitToCopy(const std::filesystem::path& file) {
    // The system would read a path holding a NUL as a shorter one.
    if (file.native().find('\0') != std::string::npos) {
        return Reason::missing;
    }
    struct stat info {};
    if (::lstat(file.c_str(), &info) != 0) {
        return errno == EACCES ? Reason::unreadable : Reason::missing;
    }
    if (!S_ISREG(info.st_mode)) {
        return Reason::notRegularFile;
    }
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY);
    if (fd < 0) {
        return errno == ENOENT ? Reason::missing : Reason::unreadable;
    }
    ::close(fd);
    return std::nullopt;
}

// The reason a copy that has begun failed for, when its source was at fault.
std::optional<Reason> sourceFault(const std::error_code& error) {
    if (error == std::errc::no_such_file_or_directory) {
        return Reason::missing;
    }
    if (error == std::errc::permission_denied) {
        return Reason::unreadable;
    }
    if (error == std::errc::too_many_symbolic_link_levels || error == std::errc::invalid_argument ||
        error == std::errc::is_a_directory) {
        return Reason::notRegularFile;
    }
    return std::nullopt;
}

// Every clip of `copy` with the reason its file cannot be copied.
std::vector<UnavailableMedia> unavailable(const PlannedCopy& copy, Reason reason) {
    std::vector<UnavailableMedia> clips;
    for (const Clip* clip : copy.clips) {
        clips.push_back({clip->id, clip->assetName, reason});
    }
    return clips;
}

// The media files the save copies into the folder, each checked as the copy
// will read it; throws mediaUnavailable naming every clip whose file does not
// pass, so that nothing is written for a save that cannot succeed. The files
// of the folder the project came from are held to what opening it allowed:
// a regular file whose real path, links followed, stays inside that folder;
// any other file must be a regular file itself, not a link.
std::vector<PlannedCopy> planCopies(const Project& project,
                                    const assetpaths::ProjectFolder& package,
                                    const std::optional<std::filesystem::path>& sourceFolder) {
    std::optional<assetpaths::ProjectFolder> source;
    std::optional<FolderMediaCheck> sourceCheck;
    if (sourceFolder) {
        source.emplace(std::filesystem::absolute(*sourceFolder));
        sourceCheck.emplace(std::filesystem::absolute(*sourceFolder));
    }
    std::vector<PlannedCopy> copies;
    std::map<std::filesystem::path, std::optional<Reason>> looked;
    std::map<std::filesystem::path, std::size_t> planned;
    std::vector<UnavailableMedia> unavailableClips;
    std::string firstUnavailable;
    for (const Track& track : project.tracks) {
        for (const Clip& clip : track.clips) {
            if (!clip.assetURL || package.relativePathOf(*clip.assetURL)) {
                continue;
            }
            const std::filesystem::path& file = *clip.assetURL;
            auto [found, isNew] = looked.try_emplace(file);
            if (isNew) {
                std::filesystem::path read = file;
                if (source && source->relativePathOf(file)) {
                    if (const auto finding = sourceCheck->check(file)) {
                        found->second = finding->reason;
                    } else {
                        // Its real path: a link that stays inside the folder
                        // is read where it leads, and nothing on the way is a
                        // link any more.
                        std::error_code error;
                        read = std::filesystem::canonical(file, error);
                        found->second = error ? std::optional(Reason::missing) : std::nullopt;
                    }
                } else {
                    found->second = unfitToCopy(file);
                }
                if (!found->second) {
                    planned[file] = copies.size();
                    copies.push_back({file, read, {}});
                }
            }
            if (const std::optional<Reason>& reason = found->second) {
                if (unavailableClips.empty()) {
                    firstUnavailable = assetpaths::fileName(file);
                }
                unavailableClips.push_back({clip.id, clip.assetName, *reason});
            } else {
                copies[planned.at(file)].clips.push_back(&clip);
            }
        }
    }
    if (!unavailableClips.empty()) {
        throw PersistenceError::mediaUnavailable(firstUnavailable, std::move(unavailableClips));
    }
    return copies;
}

// What a save made in the chosen place, taken away again unless the save
// succeeds, so that a failed save leaves the place as it found it: the copies
// it put in "assets", "assets" when it made it, and the folders it made for
// the project, innermost first. Copies and folders are removed only when
// they are what the save made: by name in the folder's own handles, and
// folders only while empty, under the folder's lock, which it holds until
// then. A save into a project folder that is killed leaves its copies,
// harmlessly: no project file names them. (A new folder is built aside and
// goes whole, FolderBuiltAside.)
class MadeBySave {
public:
    MadeBySave() = default;
    MadeBySave(const MadeBySave&) = delete;
    MadeBySave& operator=(const MadeBySave&) = delete;
    ~MadeBySave() {
        if (!kept_) {
            takeAway();
        }
    }

    // Creates the folder with the folders missing above it, remembering each
    // one it made.
    void makeFolders(const std::filesystem::path& folder) {
        std::vector<std::filesystem::path> missing;
        for (std::filesystem::path at = folder;; at = at.parent_path()) {
            std::error_code error;
            if (std::filesystem::symlink_status(at, error).type() !=
                    std::filesystem::file_type::not_found ||
                !at.has_relative_path()) {
                break;
            }
            missing.push_back(at);
        }
        for (auto at = missing.rbegin(); at != missing.rend(); ++at) {
            if (::mkdir(at->c_str(), 0777) != 0) {
                if (errno == EEXIST) {
                    continue;
                }
                throw std::filesystem::filesystem_error(
                    "cannot create folder", *at, std::error_code(errno, std::generic_category()));
            }
            folders_.push_back(*at);
        }
    }

    void hold(std::optional<FolderLock> lock) { lock_ = std::move(lock); }
    const std::optional<FolderLock>& lock() const { return lock_; }

    void madeAssets(const FolderHandle& package) { assetsOf_ = package.duplicate(); }
    void copied(const FolderHandle& assets, std::string name) {
        if (!copiesIn_) {
            copiesIn_ = assets.duplicate();
        }
        copies_.push_back(std::move(name));
    }
    void keep() { kept_ = true; }

private:
    void takeAway() noexcept {
        try {
            for (const std::string& name : copies_) {
                copiesIn_->removeFile(name);
            }
            if (assetsOf_) {
                assetsOf_->removeEmptyChild(ProjectPersistenceService::assetsFolderName);
            }
            for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
                std::filesystem::remove(*folder);
            }
        } catch (const std::exception&) {
            // What could not go stays; nothing names it.
        }
    }

    std::vector<std::filesystem::path> folders_;
    std::optional<FolderHandle> assetsOf_;
    std::optional<FolderHandle> copiesIn_;
    std::vector<std::string> copies_;
    std::optional<FolderLock> lock_;
    bool kept_ = false;
};

std::error_code codeOf(const std::exception& error) {
    if (const auto* system = dynamic_cast<const std::system_error*>(&error)) {
        return system->code();
    }
    return {};
}

// Copies the file into the assets folder under its own name, or a suffixed
// one when that is taken, and returns the name used. The copy appears whole
// or not at all, and never replaces a file that is there.
std::string copyIntoAssets(const PlannedCopy& copy, const FolderHandle& assets,
                           const std::function<void()>& whileCopying) {
    const std::string ownName = assetpaths::fileName(copy.original);
    AtomicFileWriter writer(assets, ownName);
    writer.copyFrom(copy.source);
    if (whileCopying) {
        whileCopying();
    }
    std::string name = ownName;
    for (int attempt = 0;; ++attempt) {
        try {
            writer.commitWithoutReplacing(name);
            return name;
        } catch (const std::filesystem::filesystem_error& error) {
            if (error.code() != std::errc::file_exists || attempt + 1 == kNameAttempts) {
                throw;
            }
        }
        name = ProjectPersistenceService::suffixedName(ownName);
    }
}

// Removes what saves killed half-way left in the folder and its "assets" (never
// through a link): under `lock`, which every save of the folder holds, so no
// live writer's temporary file goes. Without the lock (a file system that
// cannot lock) nothing is removed.
void removeLeftovers(const FolderHandle& package, const std::optional<FolderLock>& lock) {
    if (!lock) {
        return;
    }
    removeLeftoverTemporaries(package);
    try {
        removeLeftoverTemporaries(package.child(ProjectPersistenceService::assetsFolderName));
    } catch (const std::filesystem::filesystem_error&) {
        // No "assets" of the folder's own: nothing of it to tidy.
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

// Whether `start` opens a project file: a JSON object whose first member is
// "project" (the folder's file, keys sorted) or "version" (keys in declared
// order). Enough to tell a project grown past what is read from a file that
// was never one, without reading the rest.
bool beginsLikeAProject(std::string_view start) {
    std::size_t at = 0;
    const auto skipSpace = [&] {
        while (at < start.size() &&
               (start[at] == ' ' || start[at] == '\n' || start[at] == '\r' || start[at] == '\t')) {
            ++at;
        }
    };
    skipSpace();
    if (at == start.size() || start[at] != '{') {
        return false;
    }
    ++at;
    skipSpace();
    const std::string_view rest = start.substr(at);
    return rest.starts_with("\"project\"") || rest.starts_with("\"version\"");
}

// The size of the folder's "project.json", found over the limit, when it
// begins as a project does; none when it does not (or is gone meanwhile).
std::optional<std::uintmax_t> sizeOfLargeProject(const FolderHandle& package) {
    const int fd = ::openat(package.fd(), ProjectPersistenceService::projectFileName,
                            O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    char start[256];
    ssize_t read = -1;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        read = ::pread(fd, start, sizeof start, 0);
    }
    ::close(fd);
    if (read <= 0 || !beginsLikeAProject(std::string_view(start, static_cast<std::size_t>(read)))) {
        return std::nullopt;
    }
    return static_cast<std::uintmax_t>(info.st_size);
}

} // namespace

ProjectPersistenceService::ProjectPersistenceService(
    std::function<void()> whileCopying, std::optional<std::filesystem::path> unfinishedSaves)
    : whileCopying_(std::move(whileCopying))
    , unfinishedSaves_(std::move(unfinishedSaves)) {}

std::filesystem::path ProjectPersistenceService::defaultUnfinishedSavesFolder() {
    return applicationDataFolder() / "unfinished-saves";
}

void ProjectPersistenceService::removeAbandonedSaves(const std::filesystem::path& unfinishedSaves) {
    FolderBuiltAside::removeAbandoned(unfinishedSaves);
}

std::string ProjectPersistenceService::suffixedName(const std::string& name) {
    std::string suffix = "_" + Uuid::random().string().substr(0, 8);
    std::filesystem::path path(name);
    // ".mov", or "" when there is none; a bare trailing dot is dropped rather
    // than left dangling after the suffix.
    std::string extension = path.extension().string();
    return path.stem().string() + suffix + (extension.size() > 1 ? extension : "");
}

MediaRelocation
ProjectPersistenceService::save(const Project& project, const std::filesystem::path& folder,
                                const std::optional<std::filesystem::path>& sourceFolder) const {
    const std::filesystem::path base = std::filesystem::absolute(folder);
    const assetpaths::ProjectFolder packageFolder(base);

    // Nothing is written for media that cannot be copied. A project that
    // cannot be written as a file is found once the copies are made, and they
    // are taken away again.
    const std::vector<PlannedCopy> copies = planCopies(project, packageFolder, sourceFolder);

    // A new folder is built aside and put in place whole, so that a save
    // killed at any moment leaves there nothing or a whole project; into a
    // project that is there already, the save writes beside its files, which
    // stay whole until "project.json" is replaced.
    const std::filesystem::path place = assetpaths::normalized(base);
    FolderBuiltAside::removeLeftoversBeside(place);
    MadeBySave made;
    std::optional<FolderBuiltAside> aside;
    std::optional<FolderHandle> package;
    try {
        if (FolderBuiltAside::suits(place)) {
            made.makeFolders(place.parent_path());
            aside.emplace(place, unfinishedSaves_);
            package = aside->folder().duplicate();
        } else {
            made.makeFolders(place);
            package = FolderHandle::open(base);
        }
    } catch (const std::exception& error) {
        throw PersistenceError::directoryCreationFailed({}, codeOf(error));
    }
    // Saves of one folder, from this process or another, take turns (one
    // built aside holds its own folder's lock).
    if (!aside) {
        made.hold(FolderLock::lockIfPossible(base));
    }
    std::optional<FolderHandle> assets;
    try {
        if (package->makeChild(assetsFolderName) && !aside) {
            made.madeAssets(*package);
        }
        // An "assets" that is a link would take the copies out of the folder.
        assets = package->child(assetsFolderName);
    } catch (const std::exception& error) {
        throw PersistenceError::directoryCreationFailed(assetsFolderName, codeOf(error));
    }
    if (!aside) {
        removeLeftovers(*package, made.lock());
    }

    MediaRelocation relocation;
    for (const PlannedCopy& copy : copies) {
        try {
            std::string name = copyIntoAssets(copy, *assets, whileCopying_);
            if (!aside) {
                made.copied(*assets, name);
            }
            relocation.copies[copy.original] =
                assetpaths::normalized(base) / assetsFolderName / std::move(name);
        } catch (const std::exception& error) {
            // Checked before, but changed since: a fault of the file itself
            // names its clips; any other (a full disk) says what it was.
            const std::error_code code = codeOf(error);
            const auto* fileError = dynamic_cast<const std::filesystem::filesystem_error*>(&error);
            const std::optional<Reason> fault = sourceFault(code);
            if (fault && fileError && fileError->path1() == copy.source) {
                throw PersistenceError::mediaUnavailable(assetpaths::fileName(copy.original),
                                                         unavailable(copy, *fault));
            }
            std::vector<std::string> clipNames;
            for (const Clip* clip : copy.clips) {
                clipNames.push_back(clip->assetName);
            }
            throw PersistenceError::copyFailed(assetpaths::fileName(copy.original),
                                               std::move(clipNames), code);
        }
    }

    // Stored as the folder's own copies, so the file never names an outside one.
    const ProjectFile file{ProjectFile::currentVersion,
                           PersistedProject::from(relocation.applied(project), packageFolder)};
    const std::string bytes = file.encoded(ProjectFile::Layout::prettySortedKeys);
    try {
        AtomicFileWriter writer(*package, projectFileName);
        writer.write(bytes);
        writer.commit();
    } catch (const std::exception& error) {
        throw PersistenceError::assetCopyFailed(projectFileName).causedBy(codeOf(error));
    }
    if (aside) {
        try {
            aside->place();
        } catch (const std::exception& error) {
            throw PersistenceError::directoryCreationFailed({}, codeOf(error));
        }
    }
    made.keep();
    return relocation;
}

OpenedProject ProjectPersistenceService::open(const std::filesystem::path& folder) const {
    const std::filesystem::path base = std::filesystem::absolute(folder);
    std::string bytes;
    try {
        const FolderHandle package = FolderHandle::open(base);
        // A save at work in the folder keeps its files; the leftovers wait.
        removeLeftovers(package, FolderLock::tryLock(base));
        // The folder's own file only: a link may lead to any file at all.
        try {
            bytes = readFileContents(package, projectFileName, ProjectFile::maxFileBytes);
        } catch (const std::filesystem::filesystem_error& error) {
            if (error.code() != std::errc::file_too_large) {
                throw;
            }
            // A project grown past what is read is not a broken one: the
            // user is told its size, and one that never was a project is not.
            if (const std::optional<std::uintmax_t> size = sizeOfLargeProject(package)) {
                throw PersistenceError::tooLargeToOpen(*size, ProjectFile::maxFileBytes);
            }
            throw PersistenceError::decodingFailed("Invalid project file format");
        }
    } catch (const std::filesystem::filesystem_error& error) {
        throw PersistenceError::fileNotFound(projectFileName).causedBy(error.code());
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
