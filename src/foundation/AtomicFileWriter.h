#pragma once

#include "foundation/FolderHandle.h"

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace vexel {

// Writes a file so that whoever reads it, before or after a crash, finds either
// the earlier file whole or the new one whole, never a mixture. The bytes go to
// a temporary file beside the destination (same folder, so the final rename
// never crosses file systems); commit() flushes it to disk, renames it into
// place and flushes the folder. A writer dropped without commit() removes its
// temporary file; one killed first leaves it behind, readable by its owner
// only, for removeLeftoverTemporaries. The folder is reached once, when the
// writer is made: every later step happens in it by name, never through a
// link. Failures are std::filesystem::filesystem_error.
class AtomicFileWriter {
public:
    // The finished file gets `mode` less the process's umask; until then the
    // temporary file is open to its owner alone.
    explicit AtomicFileWriter(const std::filesystem::path& destination, mode_t mode = 0666);
    // The file `name` in `folder`.
    AtomicFileWriter(const FolderHandle& folder, std::string name, mode_t mode = 0666);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(std::string_view bytes);
    // Appends the whole content of `source`, which must be a regular file and
    // not a link (a pipe or device would never end or would block; a link
    // may lead anywhere).
    void copyFrom(const std::filesystem::path& source);

    // Replaces the destination.
    void commit();
    // Puts the file in place only when nothing is at the destination; throws
    // with std::errc::file_exists otherwise and keeps the temporary file, so
    // the caller may retry with another name through commitWithoutReplacing(name).
    void commitWithoutReplacing();
    // Under another name in the same folder.
    void commitWithoutReplacing(const std::string& name);

    std::filesystem::path temporaryPath() const { return folder_ / temporary_; }

private:
    void create();
    void flush();

    FolderHandle folder_;
    std::string name_;
    std::string temporary_;
    mode_t mode_;
    int fd_ = -1;
    bool flushed_ = false;
    bool committed_ = false;
};

// One atomic write of `bytes` to `path` (see AtomicFileWriter).
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         mode_t mode = 0666);

// Renames `from` to `to` unless something is at `to`, which is left as it is
// (std::errc::file_exists).
void renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// The same for the entry `from` of `folder`, to be named `to` there.
void renameWithoutReplacingAt(const FolderHandle& folder, const std::string& from,
                              const std::string& to);

// Removes from `folder` (not below it) the temporary files that writers killed
// before they committed left behind: regular files named as this writer names
// them, "." + name + ".tmp-" + 8 hexadecimal digits. Only safe while no writer
// is at work in the folder, so callers hold a lock that every writer of the
// folder holds too. Does what it can and reports nothing.
void removeLeftoverTemporaries(const FolderHandle& folder);
// The same for the folder at `folder`, unless that is a link: what it leads
// to is not the folder's to tidy.
void removeLeftoverTemporaries(const std::filesystem::path& folder);

// Flushes a folder's entries (a rename into it) to disk.
void syncFolder(const std::filesystem::path& folder);

} // namespace vexel
