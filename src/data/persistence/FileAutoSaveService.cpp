#include "data/persistence/FileAutoSaveService.h"

#include "data/persistence/AutoSaveError.h"
#include "data/persistence/ProjectFile.h"
#include "domain/entities/Project.h"
#include "foundation/AtomicFileWriter.h"
#include "foundation/DataHome.h"
#include "foundation/FileContents.h"
#include "foundation/FolderLock.h"
#include "foundation/PrivateFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

namespace vexel {

namespace {

constexpr std::string_view kKeptPrefix = "project-";
constexpr std::string_view kKeptSuffix = ".json";
constexpr int kKeptNameAttempts = 100;

bool isKeptName(const std::string& name) {
    return name.size() > kKeptPrefix.size() + kKeptSuffix.size() && name.starts_with(kKeptPrefix) &&
           name.ends_with(kKeptSuffix);
}

// Whether anyone but this user could have put or changed it: another owner,
// or write access for the group or others.
bool othersCanWrite(const struct stat& info) {
    return info.st_uid != ::geteuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

// Refuses (AutoSaveError::unsafeLocation) a folder or file that is a link,
// not of its kind, or one that others could have written.
void checkOnlyOwnerWrites(const std::filesystem::path& path, bool isFolder) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT && !isFolder) {
            return; // reading it will report that it is missing
        }
        throw std::filesystem::filesystem_error("cannot inspect auto-save", path,
                                                std::error_code(errno, std::generic_category()));
    }
    const bool rightKind = isFolder ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode);
    if (!rightKind || othersCanWrite(info)) {
        throw AutoSaveError::unsafeLocation(path);
    }
}

// "project-20250611T142233Z.json", UTC, for an auto-save put aside now.
std::string keptName(int attempt) {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &utc);
    std::string name = std::string(kKeptPrefix) + stamp;
    if (attempt > 0) {
        name += "-" + std::to_string(attempt + 1);
    }
    return name + std::string(kKeptSuffix);
}

// Moves `file` aside under a kept name that nothing holds yet.
std::filesystem::path keepAside(const std::filesystem::path& file) {
    for (int attempt = 0; attempt < kKeptNameAttempts; ++attempt) {
        const std::filesystem::path kept = file.parent_path() / keptName(attempt);
        try {
            renameWithoutReplacing(file, kept);
        } catch (const std::filesystem::filesystem_error& error) {
            if (error.code() == std::errc::file_exists) {
                continue;
            }
            throw;
        }
        syncFolder(file.parent_path());
        return kept;
    }
    throw std::filesystem::filesystem_error("cannot keep the auto-save aside", file,
                                            std::make_error_code(std::errc::file_exists));
}

// Removes what a save killed half-way left in the folder, unless a writer is
// at work there now.
void removeLeftoversUnlessBusy(const std::filesystem::path& folder) {
    if (std::optional<FolderLock> lock = FolderLock::tryLock(folder)) {
        removeLeftoverTemporaries(folder);
    }
}

} // namespace

FileAutoSaveService::FileAutoSaveService(std::optional<std::filesystem::path> directory,
                                         std::shared_ptr<const DataEncryption> encryption)
    : directory_(directory ? std::move(*directory) : defaultDirectory())
    , encryption_(std::move(encryption)) {}

std::filesystem::path FileAutoSaveService::defaultDirectory() {
    return applicationDataFolder() / "autosave";
}

void FileAutoSaveService::save(const Project& project) const {
    ProjectFile file{ProjectFile::currentVersion, PersistedProject::forAutoSave(project)};
    std::string bytes = file.encoded(ProjectFile::Layout::compact);
    if (encryption_) {
        bytes = encryption_->encrypt(bytes);
    }
    // A folder that others could write (made under a lax umask before it was
    // made private) is made private; the auto-save found in it, which could
    // not be recovered from there, is kept rather than replaced.
    struct stat before {};
    const bool wasOpen = ::lstat(directory_.c_str(), &before) == 0 && S_ISDIR(before.st_mode) &&
                         othersCanWrite(before);
    ensurePrivateFolderAndParents(directory_);
    // Writers of the folder take turns; without the lock (a file system that
    // cannot lock) leftovers wait for a load that can take it.
    const std::optional<FolderLock> lock = FolderLock::lockIfPossible(directory_);
    if (lock) {
        removeLeftoverTemporaries(directory_);
    }
    if (std::error_code error;
        wasOpen && std::filesystem::symlink_status(filePath(), error).type() !=
                       std::filesystem::file_type::not_found) {
        keepAside(filePath());
    }
    writeFileAtomically(filePath(), bytes, 0600);
}

FileAutoSaveService::Opened FileAutoSaveService::open(const std::filesystem::path& file,
                                                      bool plainAllowed) const {
    checkOnlyOwnerWrites(file, false);
    std::string bytes = readFileContents(file, maxFileBytes);
    if (encryption_) {
        std::exception_ptr decryptionFailure;
        try {
            bytes = encryption_->decrypt(bytes);
        } catch (...) {
            decryptionFailure = std::current_exception();
        }
        if (decryptionFailure) {
            // Written without encryption, if it is JSON whose top level is an
            // object or an array; read once, here, for both questions.
            std::optional<ProjectFile> plain;
            if (plainAllowed) {
                plain = ProjectFile::decodedIfStructured(bytes);
            }
            if (!plain) {
                return Opened{std::nullopt, decryptionFailure};
            }
            return Opened{plain->project.toProjectFromAutoSave(), {}};
        }
    }
    return Opened{ProjectFile::decoded(bytes).project.toProjectFromAutoSave(), {}};
}

Project FileAutoSaveService::load() const {
    checkOnlyOwnerWrites(directory_, true);
    removeLeftoversUnlessBusy(directory_);
    std::optional<std::filesystem::path> keptNow;
    std::exception_ptr sealedFailure;
    if (std::error_code error; std::filesystem::symlink_status(filePath(), error).type() !=
                               std::filesystem::file_type::not_found) {
        Opened opened = open(filePath(), true);
        if (opened.project) {
            return std::move(*opened.project);
        }
        // Sealed under a key this run cannot read (or damaged): the next
        // auto-save would replace it, so it is moved aside, whole, first.
        sealedFailure = opened.sealedFailure;
        keptNow = keepAside(filePath());
    }
    for (const std::filesystem::path& kept : keptFiles()) {
        if (kept == keptNow) {
            continue;
        }
        Opened opened;
        try {
            opened = open(kept, false);
        } catch (const std::exception&) {
            continue; // not this one
        }
        if (opened.project) {
            // It becomes the auto-save again, to be replaced and removed as
            // the auto-save is.
            try {
                renameWithoutReplacing(kept, filePath());
                syncFolder(directory_);
            } catch (const std::filesystem::filesystem_error&) {
                // Offered again next time, which is no loss.
            }
            return std::move(*opened.project);
        }
    }
    if (keptNow) {
        try {
            std::rethrow_exception(sealedFailure);
        } catch (...) {
            std::throw_with_nested(AutoSaveError::keptAside(*keptNow, encryption_->keyStoreName()));
        }
    }
    throw std::filesystem::filesystem_error(
        "cannot open auto-save", filePath(),
        std::make_error_code(std::errc::no_such_file_or_directory));
}

std::vector<std::filesystem::path> FileAutoSaveService::keptFiles() const {
    struct Kept {
        std::filesystem::path path;
        std::filesystem::file_time_type written;
    };
    std::vector<Kept> found;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(directory_, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code ignored;
        if (isKeptName(entry->path().filename().string()) &&
            entry->symlink_status(ignored).type() == std::filesystem::file_type::regular) {
            found.push_back({entry->path(), entry->last_write_time(ignored)});
        }
    }
    std::sort(found.begin(), found.end(), [](const Kept& a, const Kept& b) {
        return a.written != b.written ? a.written > b.written : a.path > b.path;
    });
    std::vector<std::filesystem::path> paths;
    for (Kept& kept : found) {
        paths.push_back(std::move(kept.path));
    }
    return paths;
}

void FileAutoSaveService::remove() const {
    std::error_code error;
    std::filesystem::remove(filePath(), error);
    if (error && error != std::errc::no_such_file_or_directory) {
        throw std::filesystem::filesystem_error("cannot remove auto-save", filePath(), error);
    }
}

bool FileAutoSaveService::exists() const {
    std::error_code error;
    if (std::filesystem::symlink_status(filePath(), error).type() !=
        std::filesystem::file_type::not_found) {
        return true;
    }
    // An auto-save kept aside counts once the key of this run opens it.
    for (const std::filesystem::path& kept : keptFiles()) {
        try {
            if (open(kept, false).project) {
                return true;
            }
        } catch (const std::exception&) {
        }
    }
    return false;
}

} // namespace vexel
