#pragma once

#include "foundation/FolderHandle.h"

#include <filesystem>
#include <optional>

namespace vexel {

// An exclusive advisory lock (flock) on an existing folder, held for the
// object's life. Each lock opens the folder anew, so it excludes other threads
// of this process as well as other processes. For writers of one folder that
// must not meet, such as a save and the removal of a killed save's leftovers.
class FolderLock {
public:
    // Waits until the lock is free. Throws std::filesystem::filesystem_error
    // when the folder cannot be opened or its file system cannot lock.
    explicit FolderLock(const std::filesystem::path& folder);
    // The same for the folder of `handle`, wherever its path now leads.
    explicit FolderLock(const FolderHandle& handle);
    // The lock when it is free at once; none when another holds it, or it
    // cannot be taken at all.
    static std::optional<FolderLock> tryLock(const std::filesystem::path& folder);
    // Waits for the lock; none when it cannot be taken at all (a file system
    // that does not lock folders, such as some network ones), so that work
    // which merely tidies up under it can do without.
    static std::optional<FolderLock> lockIfPossible(const std::filesystem::path& folder);

    ~FolderLock();
    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&& other) noexcept;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    explicit FolderLock(int fd)
        : fd_(fd) {}

    int fd_ = -1;
};

} // namespace vexel
