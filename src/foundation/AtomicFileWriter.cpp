#include "foundation/AtomicFileWriter.h"

#include "foundation/FileDescriptor.h"

#include "foundation/Uuid.h"

#include <dirent.h>
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

std::string temporaryName(std::string name) {
    if (name.size() > kMaxKeptNameBytes) {
        name.resize(kMaxKeptNameBytes);
    }
    return "." + name + std::string(kTemporaryMark) +
           Uuid::random().string().substr(0, kTemporarySuffixLength);
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

AtomicFileWriter::AtomicFileWriter(const std::filesystem::path& destination, mode_t mode)
    : folder_(FolderHandle::open(folderOf(destination)))
    , name_(destination.filename().string())
    , mode_(mode & 07777) {
    create();
}

AtomicFileWriter::AtomicFileWriter(const FolderHandle& folder, std::string name, mode_t mode)
    : folder_(folder.duplicate())
    , name_(std::move(name))
    , mode_(mode & 07777) {
    create();
}

void AtomicFileWriter::create() {
    entryName(name_, folder_.path());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary_ = temporaryName(name_);
        // Private until it is whole: a writer killed half-way leaves a file
        // that only its owner can read, whatever the finished file's mode.
        fd_ = ::openat(folder_.fd(), temporary_.c_str(),
                       O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode_ & 0600);
        if (fd_ >= 0) {
            return;
        }
        if (errno != EEXIST) {
            fail("cannot create temporary file", temporaryPath(), errno);
        }
    }
    fail("cannot create temporary file", temporaryPath(), EEXIST);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_ && !temporary_.empty()) {
        ::unlinkat(folder_.fd(), temporary_.c_str(), 0);
    }
}

void AtomicFileWriter::write(std::string_view bytes) {
    writeAll(fd_, bytes.data(), bytes.size(), temporaryPath());
}

void AtomicFileWriter::copyFrom(const std::filesystem::path& source) {
    // Non-blocking open: opening a pipe for reading would otherwise wait for a
    // writer. A link is not followed, wherever it leads.
    FileDescriptor from(::open(systemPath(source), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
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
        copyThroughBuffer(from.get(), fd_, source, temporaryPath());
    }
}

void AtomicFileWriter::flush() {
    if (flushed_) {
        return;
    }
    if ((mode_ & ~mode_t{0600}) != 0 && ::fchmod(fd_, mode_ & ~currentUmask()) != 0) {
        fail("cannot set the file's mode", temporaryPath(), errno);
    }
    if (::fsync(fd_) != 0) {
        fail("cannot flush file", temporaryPath(), errno);
    }
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        fail("cannot close file", temporaryPath(), errno);
    }
    flushed_ = true;
}

void AtomicFileWriter::commit() {
    flush();
    if (::renameat(folder_.fd(), temporary_.c_str(), folder_.fd(),
                   entryName(name_, folder_.path())) != 0) {
        fail("cannot rename file", folder_ / name_, errno);
    }
    committed_ = true;
    folder_.sync();
}

void AtomicFileWriter::commitWithoutReplacing() {
    commitWithoutReplacing(name_);
}

void AtomicFileWriter::commitWithoutReplacing(const std::string& name) {
    flush();
    renameWithoutReplacingAt(folder_, temporary_, name);
    name_ = name;
    committed_ = true;
    folder_.sync();
}

void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, mode_t mode) {
    AtomicFileWriter writer(path, mode);
    writer.write(bytes);
    writer.commit();
}

// The kernel's no-replace rename, else a hard link (which fails on an existing
// name too), else, on file systems with neither, a check just before the rename.
static void renameAtWithoutReplacing(int fromFolder, const char* from, int toFolder, const char* to,
                                     const std::filesystem::path& shown) {
    if (::renameat2(fromFolder, from, toFolder, to, RENAME_NOREPLACE) == 0) {
        return;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        fail("cannot rename file", shown, errno);
    }
    if (::linkat(fromFolder, from, toFolder, to, 0) == 0) {
        ::unlinkat(fromFolder, from, 0);
        return;
    }
    if (errno == EEXIST) {
        fail("cannot rename file", shown, errno);
    }
    struct stat info {};
    if (::fstatat(toFolder, to, &info, AT_SYMLINK_NOFOLLOW) == 0) {
        fail("cannot rename file", shown, EEXIST);
    }
    if (::renameat(fromFolder, from, toFolder, to) != 0) {
        fail("cannot rename file", shown, errno);
    }
}

void renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    const char* target = systemPath(to);
    renameAtWithoutReplacing(AT_FDCWD, systemPath(from), AT_FDCWD, target, to);
}

void renameWithoutReplacingAt(const FolderHandle& folder, const std::string& from,
                              const std::string& to) {
    renameAtWithoutReplacing(folder.fd(), entryName(from, folder.path()), folder.fd(),
                             entryName(to, folder.path()), folder / to);
}

void removeLeftoverTemporaries(const FolderHandle& folder) {
    // A description of its own: reading the entries moves its offset.
    const int fd = ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    DIR* entries = ::fdopendir(fd);
    if (entries == nullptr) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        struct stat info {};
        if (isTemporaryName(entry->d_name) &&
            ::fstatat(folder.fd(), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            ::unlinkat(folder.fd(), entry->d_name, 0);
        }
    }
    ::closedir(entries);
}

void removeLeftoverTemporaries(const std::filesystem::path& folder) {
    try {
        removeLeftoverTemporaries(FolderHandle::openUnlessLink(folder));
    } catch (const std::filesystem::filesystem_error&) {
        // Nothing there to tidy, or nothing of the folder's own.
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
