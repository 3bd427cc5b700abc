#include "platform/instance/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace vexel::instance {

namespace {

// Far more than any note; a file of another kind is not read whole.
constexpr std::size_t maxNoteBytes = 256;

[[noreturn]] void fail(const char* what, const std::filesystem::path& file, int error) {
    throw std::filesystem::filesystem_error(what, file,
                                            std::error_code(error, std::generic_category()));
}

} // namespace

std::optional<InstanceLock> InstanceLock::tryTake(const std::filesystem::path& file) {
    if (file.native().find('\0') != std::string::npos) {
        fail("path holds a NUL character", file, EINVAL);
    }
    // Opened for writing: a file system that emulates flock with record locks
    // (NFS) grants an exclusive one only then.
    FileDescriptor fd(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (fd.get() < 0) {
        fail("cannot open the instance lock", file, errno);
    }
    int result = 0;
    do {
        result = ::flock(fd.get(), LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        return InstanceLock(std::move(fd));
    }
    const int error = errno;
    if (error == EWOULDBLOCK) {
        return std::nullopt;
    }
    fail("cannot take the instance lock", file, error);
}

bool InstanceLock::isAt(const std::filesystem::path& file) const {
    struct stat held {};
    struct stat there {};
    if (::fstat(fd_.get(), &held) != 0 || ::lstat(file.c_str(), &there) != 0) {
        return false;
    }
    return held.st_dev == there.st_dev && held.st_ino == there.st_ino;
}

void InstanceLock::setNote(std::string_view note) const {
    if (::ftruncate(fd_.get(), 0) != 0 || note.empty()) {
        return;
    }
    [[maybe_unused]] const ssize_t written = ::pwrite(fd_.get(), note.data(), note.size(), 0);
}

std::string InstanceLock::readNote(const std::filesystem::path& file) {
    const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {};
    }
    std::string note(maxNoteBytes, '\0');
    const ssize_t count = ::pread(fd.get(), note.data(), note.size(), 0);
    note.resize(count > 0 ? std::size_t(count) : 0);
    return note;
}

} // namespace vexel::instance
