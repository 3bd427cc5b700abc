#pragma once

#include "foundation/FileDescriptor.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vexel::instance {

// The exclusive lock (flock) on one file that marks its holder as the
// application's running instance. The kernel lets go of it when the process
// ends, however it ends, so a lock left by a killed process never blocks the
// next start. Each lock opens the file anew: it also excludes other holders in
// the same process.
class InstanceLock {
public:
    // The lock when no one holds it, the file made (mode 0600) when absent;
    // none when another holder has it. Throws std::filesystem::filesystem_error
    // when the file cannot be opened (a link or a folder among them) or its
    // file system cannot lock.
    static std::optional<InstanceLock> tryTake(const std::filesystem::path& file);

    // Whether the locked file is still the one at `file`: a file removed or
    // replaced there (its folder emptied by a clean-up tool) leaves this lock
    // on a file no later start sees, which guards nothing.
    bool isAt(const std::filesystem::path& file) const;

    // Writes `note` as the file's whole content, for later starts to read
    // while this lock is held (empty: none). Best effort.
    void setNote(std::string_view note) const;
    // The note the holder of the lock at `file` left; empty when none or
    // unreadable.
    static std::string readNote(const std::filesystem::path& file);

private:
    explicit InstanceLock(FileDescriptor fd)
        : fd_(std::move(fd)) {}

    // Closing it lets go of the lock.
    FileDescriptor fd_;
};

} // namespace vexel::instance
