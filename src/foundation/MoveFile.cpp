#include "foundation/MoveFile.h"

#include "foundation/FileDescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vexel {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const char* what, const fs::path& source, const fs::path& destination,
                       int error) {
    throw fs::filesystem_error(what, source, destination,
                               std::error_code(error, std::generic_category()));
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Copies source's bytes and mode into `temporary` (open as `out`), flushed to disk.
void copyInto(const fs::path& source, const fs::path& destination, int out) {
    const FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        fail("cannot open the file to move", source, destination, errno);
    }
    struct stat status {};
    if (::fstat(in.get(), &status) != 0) {
        fail("cannot read the file to move", source, destination, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        fail("cannot move what is not a file", source, destination, EINVAL);
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("cannot read the file to move", source, destination, errno);
        }
        if (got == 0) {
            break;
        }
        if (!writeAll(out, buffer.data(), static_cast<std::size_t>(got))) {
            fail("cannot write the moved file", source, destination, errno);
        }
    }
    if (::fchmod(out, status.st_mode & 07777) != 0 || ::fsync(out) != 0) {
        fail("cannot write the moved file", source, destination, errno);
    }
}

void copyThenRename(const fs::path& source, const fs::path& destination) {
    const fs::path folder = destination.has_parent_path() ? destination.parent_path() : ".";
    std::string pattern = (folder / ("." + destination.filename().string() + ".XXXXXX")).string();
    FileDescriptor out(::mkostemp(pattern.data(), O_CLOEXEC));
    if (out.get() < 0) {
        fail("cannot create a file beside the destination", source, destination, errno);
    }
    const fs::path temporary = pattern;
    try {
        copyInto(source, destination, out.get());
        if (out.close() != 0) {
            fail("cannot write the moved file", source, destination, errno);
        }
        if (::rename(temporary.c_str(), destination.c_str()) != 0) {
            fail("cannot replace the destination", source, destination, errno);
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    // The new name is made durable; a folder that cannot be synced still holds it.
    const FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() >= 0) {
        ::fsync(folderFd.get());
    }
}

} // namespace

void moveFileReplacing(const fs::path& source, const fs::path& destination) {
    if (::rename(source.c_str(), destination.c_str()) == 0) {
        return;
    }
    if (errno != EXDEV) {
        fail("cannot move the file", source, destination, errno);
    }
    copyThenRename(source, destination);
    // The destination holds the whole file now; a source that cannot be removed
    // is left behind in its folder rather than reported as a failed move.
    ::unlink(source.c_str());
}

} // namespace vexel
