#include "platform/instance/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace vexel::instance {

namespace {

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

} // namespace vexel::instance
