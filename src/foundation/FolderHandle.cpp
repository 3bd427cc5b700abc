#include "foundation/FolderHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace vexel {

namespace {

[[noreturn]] void fail(const char* what, const std::filesystem::path& path, int error) {
    throw std::filesystem::filesystem_error(what, path,
                                            std::error_code(error, std::generic_category()));
}

int openFolder(const std::filesystem::path& path, int flags) {
    if (path.native().find('\0') != std::string::npos) {
        fail("path holds a NUL character", path, EINVAL);
    }
    const int fd =
        ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | flags);
    if (fd < 0) {
        fail("cannot open folder", path, errno);
    }
    return fd;
}

} // namespace

const char* entryName(const std::string& name, const std::filesystem::path& folder) {
    if (name.empty() || name.find('\0') != std::string::npos ||
        name.find('/') != std::string::npos) {
        fail("not the name of an entry", folder / name, EINVAL);
    }
    return name.c_str();
}

FolderHandle FolderHandle::open(const std::filesystem::path& path) {
    return FolderHandle(openFolder(path, 0), path);
}

FolderHandle FolderHandle::openUnlessLink(const std::filesystem::path& path) {
    return FolderHandle(openFolder(path, O_NOFOLLOW), path);
}

FolderHandle::~FolderHandle() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

FolderHandle::FolderHandle(FolderHandle&& other) noexcept
    : fd_(std::exchange(other.fd_, -1))
    , path_(std::move(other.path_)) {}

FolderHandle& FolderHandle::operator=(FolderHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

FolderHandle FolderHandle::duplicate() const {
    const int fd = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        fail("cannot open folder", path_, errno);
    }
    return FolderHandle(fd, path_);
}

FolderHandle FolderHandle::child(const std::string& name) const {
    const int fd =
        ::openat(fd_, entryName(name, path_), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        int error = errno;
        // Linux calls a link "not a directory" here; it is told apart, for
        // the message.
        if (error == ENOTDIR && isLink(name)) {
            error = ELOOP;
        }
        fail("cannot open folder", path_ / name, error);
    }
    return FolderHandle(fd, path_ / name);
}

bool FolderHandle::makeChild(const std::string& name, mode_t mode) const {
    if (::mkdirat(fd_, entryName(name, path_), mode) == 0) {
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    fail("cannot create folder", path_ / name, errno);
}

bool FolderHandle::isLink(const std::string& name) const {
    struct stat info {};
    return ::fstatat(fd_, entryName(name, path_), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISLNK(info.st_mode);
}

void FolderHandle::removeFile(const std::string& name) const {
    if (::unlinkat(fd_, entryName(name, path_), 0) != 0) {
        fail("cannot remove file", path_ / name, errno);
    }
}

void FolderHandle::removeEmptyChild(const std::string& name) const {
    if (::unlinkat(fd_, entryName(name, path_), AT_REMOVEDIR) != 0) {
        fail("cannot remove folder", path_ / name, errno);
    }
}

void FolderHandle::sync() const {
    // Some file systems cannot flush a folder; the rename itself has happened.
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        fail("cannot flush folder", path_, errno);
    }
}

} // namespace vexel
