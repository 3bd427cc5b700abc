#include "foundation/FileContents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace vexel {

namespace {

[[noreturn]] void fail(const char* what, const std::filesystem::path& path, int error) {
    throw std::filesystem::filesystem_error(what, path,
                                            std::error_code(error, std::generic_category()));
}

// Reads what `fd` holds; -1 when opening failed with `openError`. `path`
// names it in errors.
std::string readOpenedFile(int fd, int openError, const std::filesystem::path& path,
                           std::size_t maxBytes) {
    if (fd < 0) {
        fail("cannot open file", path, openError);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        fail("cannot inspect file", path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        fail("cannot read file", path, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    if (size > maxBytes) {
        fail("file is too large", path, EFBIG);
    }
    std::string contents;
    contents.resize(size);
    std::size_t filled = 0;
    for (;;) {
        if (filled == contents.size()) {
            if (filled > maxBytes) {
                fail("file is too large", path, EFBIG);
            }
            // The file may have grown since it was measured.
            contents.resize(contents.size() + 4096);
        }
        ssize_t got = ::read(fd, contents.data() + filled, contents.size() - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("cannot read file", path, errno);
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    if (filled > maxBytes) {
        fail("file is too large", path, EFBIG);
    }
    contents.resize(filled);
    return contents;
}

} // namespace

std::string readFileContents(const std::filesystem::path& path, std::size_t maxBytes) {
    // A C string ends at the first NUL: such a path would name another file.
    if (path.native().find('\0') != std::string::npos) {
        fail("path holds a NUL character", path, EINVAL);
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    const int error = errno;
    return readOpenedFile(fd, error, path, maxBytes);
}

std::string readFileContents(const FolderHandle& folder, const std::string& name,
                             std::size_t maxBytes) {
    const char* entry = entryName(name, folder.path());
    const int fd = ::openat(folder.fd(), entry, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    const int error = errno;
    return readOpenedFile(fd, error, folder / name, maxBytes);
}

} // namespace vexel
