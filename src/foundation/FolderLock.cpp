#include "foundation/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace vexel {

namespace {

[[noreturn]] void fail(const char* what, const std::filesystem::path& folder, int error) {
    throw std::filesystem::filesystem_error(what, folder,
                                            std::error_code(error, std::generic_category()));
}

int openFolder(const std::filesystem::path& folder) {
    if (folder.native().find('\0') != std::string::npos) {
        fail("path holds a NUL character", folder, EINVAL);
    }
    return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// flock, again after a signal; false when `operation` could not take it.
bool lockFolder(int fd, int operation) {
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

} // namespace

FolderLock::FolderLock(const std::filesystem::path& folder)
    : fd_(openFolder(folder)) {
    if (fd_ < 0) {
        fail("cannot open folder", folder, errno);
    }
    if (!lockFolder(fd_, LOCK_EX)) {
        const int error = errno;
        ::close(fd_);
        fail("cannot lock folder", folder, error);
    }
}

FolderLock::FolderLock(const FolderHandle& handle)
    : fd_(::openat(handle.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0) {
        fail("cannot open folder", handle.path(), errno);
    }
    if (!lockFolder(fd_, LOCK_EX)) {
        const int error = errno;
        ::close(fd_);
        fail("cannot lock folder", handle.path(), error);
    }
}

std::optional<FolderLock> FolderLock::tryLock(const std::filesystem::path& folder) {
    const int fd = openFolder(folder);
    if (fd < 0) {
        return std::nullopt;
    }
    if (!lockFolder(fd, LOCK_EX | LOCK_NB)) {
        ::close(fd);
        return std::nullopt;
    }
    return FolderLock(fd);
}

std::optional<FolderLock> FolderLock::lockIfPossible(const std::filesystem::path& folder) {
    try {
        return FolderLock(folder);
    } catch (const std::filesystem::filesystem_error&) {
        return std::nullopt;
    }
}

FolderLock::~FolderLock() {
    // Closing the descriptor releases the lock.
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

} // namespace vexel
