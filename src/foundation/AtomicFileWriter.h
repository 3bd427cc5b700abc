#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

namespace vexel {

// Writes a file so that whoever reads it, before or after a crash, finds either
// the earlier file whole or the new one whole, never a mixture. The bytes go to
// a temporary file beside the destination (same folder, so the final rename
// never crosses file systems); commit() flushes it to disk, renames it into
// place and flushes the folder. A writer dropped without commit() removes its
// temporary file. Failures are std::filesystem::filesystem_error.
class AtomicFileWriter {
public:
    // Opens the temporary file with `mode` (before the process's umask).
    explicit AtomicFileWriter(std::filesystem::path destination, mode_t mode = 0666);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(std::string_view bytes);
    // Appends the whole content of `source`, which must be a regular file (a
    // pipe or device would never end or would block).
    void copyFrom(const std::filesystem::path& source);

    // Replaces the destination.
    void commit();
    // Puts the file in place only when nothing is at the destination; throws
    // with std::errc::file_exists otherwise and keeps the temporary file, so
    // the caller may retry with another name through commitWithoutReplacing(at).
    void commitWithoutReplacing();
    void commitWithoutReplacing(const std::filesystem::path& destination);

    const std::filesystem::path& temporaryPath() const { return temporary_; }

private:
    void flush();

    std::filesystem::path destination_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    bool flushed_ = false;
    bool committed_ = false;
};

// One atomic write of `bytes` to `path` (see AtomicFileWriter).
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         mode_t mode = 0666);

// Flushes a folder's entries (a rename into it) to disk.
void syncFolder(const std::filesystem::path& folder);

} // namespace vexel
