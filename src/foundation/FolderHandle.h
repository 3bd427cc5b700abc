#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace vexel {

// A folder opened once by its path. What is then done in it by the name of an
// entry happens in that folder, whatever its path comes to lead to, and never
// through an entry that is a link: a received project folder may hold links
// (an "assets" that leads elsewhere, a link in place of a file) that would
// carry a write, a rename or a removal out of it. Failures are
// std::filesystem::filesystem_error carrying the system's error.
class FolderHandle {
public:
    // The folder at `path`, with the links along the path followed: the path
    // itself is the caller's choice.
    static FolderHandle open(const std::filesystem::path& path);
    // The same, unless the path's last entry is a link (which fails as child()
    // says).
    static FolderHandle openUnlessLink(const std::filesystem::path& path);

    ~FolderHandle();
    FolderHandle(FolderHandle&& other) noexcept;
    FolderHandle& operator=(FolderHandle&& other) noexcept;
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    // Another handle on the same folder, of its own lifetime.
    FolderHandle duplicate() const;

    // The entry `name` when it is a folder itself: a link fails with
    // std::errc::too_many_symbolic_link_levels, any other kind of entry with
    // std::errc::not_a_directory.
    FolderHandle child(const std::string& name) const;
    // Makes the entry `name` a new folder; false when something (of any kind,
    // a link included) is there already.
    bool makeChild(const std::string& name, mode_t mode = 0777) const;
    // Whether the entry `name` is a link.
    bool isLink(const std::string& name) const;
    // Removes the entry `name` that is no folder (a link goes as the link).
    void removeFile(const std::string& name) const;
    // Removes the entry `name` when it is an empty folder.
    void removeEmptyChild(const std::string& name) const;
    // Flushes the folder's entries (a rename into it) to disk.
    void sync() const;

    int fd() const { return fd_; }
    // The path it was reached by, for messages.
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    FolderHandle(int fd, std::filesystem::path path)
        : fd_(fd)
        , path_(std::move(path)) {}

    int fd_ = -1;
    std::filesystem::path path_;
};

// The name as the system takes it; a name holding a NUL character or a "/"
// would name another entry and fails with std::errc::invalid_argument.
const char* entryName(const std::string& name, const std::filesystem::path& folder);

} // namespace vexel
