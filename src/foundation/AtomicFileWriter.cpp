#include "foundation/AtomicFileWriter.h"

#include "foundation/FileDescriptor.h"

#include "foundation/Uuid.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace vexel {

namespace {

// Leaves room for the dot and the suffix within the 255 bytes of a file name.
constexpr std::size_t kMaxKeptNameBytes = 200;
constexpr int kNameAttempts = 16;

[[noreturn]] void fail(const char* what, const std::filesystem::path& path, int error) {
    throw std::filesystem::filesystem_error(what, path,
                                            std::error_code(error, std::generic_category()));
}

// The system takes paths as C strings, which end at the first NUL: a path
// holding one would name another file.
const char* systemPath(const std::filesystem::path& path) {
    if (path.native().find('\0') != std::string::npos) {
        fail("path holds a NUL character", path, EINVAL);
    }
    return path.c_str();
}

std::filesystem::path folderOf(const std::filesystem::path& path) {
    std::filesystem::path folder = path.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr std::size_t kTemporarySuffixLength = 8;

std::filesystem::path temporaryName(const std::filesystem::path& destination) {
    std::string name = destination.filename().string();
    if (name.size() > kMaxKeptNameBytes) {
        name.resize(kMaxKeptNameBytes);
    }
    return folderOf(destination) / ("." + name + std::string(kTemporaryMark) +
                                    Uuid::random().string().substr(0, kTemporarySuffixLength));
}

bool isUpperHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// "." + name + ".tmp-" + 8 upper-case hexadecimal digits, as temporaryName makes.
bool isTemporaryName(std::string_view name) {
    const std::size_t tail = kTemporaryMark.size() + kTemporarySuffixLength;
    if (name.size() < 2 + tail || name.front() != '.') {
        return false;
    }
    const std::string_view suffix = name.substr(name.size() - kTemporarySuffixLength);
    return name.substr(name.size() - tail, kTemporaryMark.size()) == kTemporaryMark &&
           std::all_of(suffix.begin(), suffix.end(), isUpperHexDigit);
}

// The process's file-creation mask, read without changing it (umask() would
// change it for every thread for a moment). When it cannot be read, everything
// is masked but the owner's bits.
mode_t currentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("Umask:")) {
            try {
                return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8)) & 0777;
            } catch (const std::exception&) {
                break;
            }
        }
    }
    return 077;
}

void writeAll(int fd, const char* data, std::size_t size, const std::filesystem::path& path) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("cannot write file", path, errno);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

// The kernel's copy (which may share blocks on file systems that can); false
// when it cannot copy between these two files at all, before anything was copied.
bool copyInKernel(int from, int to, const std::filesystem::path& source) {
    bool copiedAny = false;
    for (;;) {
        ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, std::size_t{1} << 30, 0);
        if (copied == 0) {
            return true;
        }
        if (copied > 0) {
            copiedAny = true;
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (!copiedAny && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                           errno == EOPNOTSUPP || errno == EPERM)) {
            return false;
        }
        fail("cannot copy file", source, errno);
    }
}

void copyThroughBuffer(int from, int to, const std::filesystem::path& source,
                       const std::filesystem::path& target) {
    std::vector<char> buffer(std::size_t{1} << 20);
    for (;;) {
        ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got == 0) {
            return;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("cannot read file", source, errno);
        }
        writeAll(to, buffer.data(), static_cast<std::size_t>(got), target);
    }
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::filesystem::path destination, mode_t mode)
    : destination_(std::move(destination))
    , mode_(mode & 07777) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary_ = temporaryName(destination_);
        // Private until it is whole: a writer killed half-way leaves a file
        // that only its owner can read, whatever the finished file's mode.
        fd_ = ::open(systemPath(temporary_), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                     mode_ & 0600);
        if (fd_ >= 0) {
            return;
        }
        if (errno != EEXIST) {
            fail("cannot create temporary file", temporary_, errno);
        }
    }
    fail("cannot create temporary file", temporary_, EEXIST);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_) {
        ::unlink(temporary_.c_str());
    }
}

void AtomicFileWriter::write(std::string_view bytes) {
    writeAll(fd_, bytes.data(), bytes.size(), temporary_);
}

void AtomicFileWriter::copyFrom(const std::filesystem::path& source) {
    // Non-blocking open: opening a pipe for reading would otherwise wait for a writer.
    FileDescriptor from(::open(systemPath(source), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (from.get() < 0) {
        fail("cannot open file", source, errno);
    }
    struct stat info {};
    if (::fstat(from.get(), &info) != 0) {
        fail("cannot inspect file", source, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        fail("not a regular file", source, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    }
    if (!copyInKernel(from.get(), fd_, source)) {
        copyThroughBuffer(from.get(), fd_, source, temporary_);
    }
}

void AtomicFileWriter::flush() {
    if (flushed_) {
        return;
    }
    if ((mode_ & ~mode_t{0600}) != 0 && ::fchmod(fd_, mode_ & ~currentUmask()) != 0) {
        fail("cannot set the file's mode", temporary_, errno);
    }
    if (::fsync(fd_) != 0) {
        fail("cannot flush file", temporary_, errno);
    }
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        fail("cannot close file", temporary_, errno);
    }
    flushed_ = true;
}

void AtomicFileWriter::commit() {
    flush();
    if (::rename(temporary_.c_str(), systemPath(destination_)) != 0) {
        fail("cannot rename file", destination_, errno);
    }
    committed_ = true;
    syncFolder(folderOf(destination_));
}

void AtomicFileWriter::commitWithoutReplacing() {
    commitWithoutReplacing(destination_);
}

void AtomicFileWriter::commitWithoutReplacing(const std::filesystem::path& destination) {
    flush();
    renameWithoutReplacing(temporary_, destination);
    destination_ = destination;
    committed_ = true;
    syncFolder(folderOf(destination_));
}

void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, mode_t mode) {
    AtomicFileWriter writer(path, mode);
    writer.write(bytes);
    writer.commit();
}

// The kernel's no-replace rename, else a hard link (which fails on an existing
// name too), else, on file systems with neither, a check just before the rename.
void renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, systemPath(from), AT_FDCWD, systemPath(to), RENAME_NOREPLACE) == 0) {
        return;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        fail("cannot rename file", to, errno);
    }
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return;
    }
    if (errno == EEXIST) {
        fail("cannot rename file", to, errno);
    }
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0) {
        fail("cannot rename file", to, EEXIST);
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
        fail("cannot rename file", to, errno);
    }
}

void removeLeftoverTemporaries(const std::filesystem::path& folder) {
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code ignored;
        if (isTemporaryName(entry->path().filename().native()) &&
            entry->symlink_status(ignored).type() == std::filesystem::file_type::regular) {
            std::filesystem::remove(entry->path(), ignored);
        }
    }
}

void syncFolder(const std::filesystem::path& folder) {
    FileDescriptor fd(::open(systemPath(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        fail("cannot open folder", folder, errno);
    }
    // Some file systems cannot flush a folder; the rename itself has happened.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS) {
        fail("cannot flush folder", folder, errno);
    }
}

} // namespace vexel
