#pragma once

#include <filesystem>

namespace vexel {

// Moves the file `source` to `destination`, replacing a file already there;
// the moved file keeps the source's permissions. Within one file system this
// is one rename. Across file systems (the temporary folder is often a memory
// file system of its own) the data is copied into a temporary file beside the
// destination, flushed, renamed over the destination, and only then is the
// source removed: at no moment is neither a whole old nor a whole new file at
// the destination, and the source stays where it was when anything fails.
// Throws std::filesystem::filesystem_error.
void moveFileReplacing(const std::filesystem::path& source,
                       const std::filesystem::path& destination);

} // namespace vexel
