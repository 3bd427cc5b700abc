#include "data/persistence/FolderMediaCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace vexel {

namespace {

using Reason = UnavailableMedia::Reason;

// The path with every link followed, or nothing (errno tells why).
std::optional<std::string> realPathOf(const std::filesystem::path& path) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real) {
        return std::nullopt;
    }
    return std::string(real.get());
}

} // namespace

FolderMediaCheck::FolderMediaCheck(const std::filesystem::path& folder) {
    if (std::optional<std::string> real = realPathOf(folder)) {
        realPrefix_ = real->back() == '/' ? *real : *real + "/";
    }
}

bool FolderMediaCheck::inside(const std::string& realPath) const {
    return !realPrefix_.empty() &&
           (realPath.starts_with(realPrefix_) || realPath + "/" == realPrefix_);
}

std::optional<FolderMediaCheck::Finding>
FolderMediaCheck::check(const std::filesystem::path& file) {
    if (auto found = seen_.find(file); found != seen_.end()) {
        return found->second;
    }
    std::optional<Finding> finding = look(file);
    seen_.emplace(file, finding);
    return finding;
}

std::optional<FolderMediaCheck::Finding>
FolderMediaCheck::look(const std::filesystem::path& file) const {
    const std::optional<std::string> real = realPathOf(file);
    if (!real) {
        return lookAtMissing(file, errno);
    }
    // The folder itself is no media file either.
    if (!inside(*real) || *real + "/" == realPrefix_) {
        return Finding{Reason::outsideFolder, false};
    }
    struct stat info {};
    if (::stat(real->c_str(), &info) != 0) {
        return Finding{errno == ENOENT ? Reason::missing : Reason::unreadable, true};
    }
    if (!S_ISREG(info.st_mode)) {
        return Finding{Reason::notRegularFile, true};
    }
    // A regular file opens at once; O_NONBLOCK still guards against one that
    // became a pipe since.
    const int fd = ::open(real->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return Finding{errno == ENOENT ? Reason::missing : Reason::unreadable, true};
    }
    ::close(fd);
    return std::nullopt;
}

std::optional<FolderMediaCheck::Finding>
FolderMediaCheck::lookAtMissing(const std::filesystem::path& file, int error) const {
    const Reason reason = error == EACCES ? Reason::unreadable : Reason::missing;
    // Where the path stops: the deepest part of it that is there (a link
    // counts, wherever it leads), whose real path says whether the missing
    // rest would lie inside the folder.
    std::filesystem::path there = file;
    struct stat info {};
    while (::lstat(there.c_str(), &info) != 0) {
        if (!there.has_relative_path()) {
            return Finding{reason, false};
        }
        there = there.parent_path();
    }
    const std::optional<std::string> real = realPathOf(there);
    if (!real) {
        // A link to nowhere, or a loop of links: where it would lead once
        // something appears is not the folder's to say.
        return Finding{reason, false};
    }
    if (!inside(*real)) {
        return Finding{Reason::outsideFolder, false};
    }
    return Finding{reason, true};
}

} // namespace vexel
