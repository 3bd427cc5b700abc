#pragma once

#include "foundation/FolderHandle.h"

#include <cstddef>
#include <filesystem>
#include <limits>
#include <string>

namespace vexel {

// The whole content of a file as bytes. A missing or unreadable file (or a
// folder) is a std::filesystem::filesystem_error carrying the system's error;
// a file of more than `maxBytes` is one with std::errc::file_too_large, found
// before anything is read (or, for a file that grows meanwhile, as soon as it
// passes the limit).
std::string readFileContents(const std::filesystem::path& path,
                             std::size_t maxBytes = std::numeric_limits<std::size_t>::max());
// The same for the entry `name` of `folder`, which is read only when it is a
// file of the folder's own: a link fails with
// std::errc::too_many_symbolic_link_levels, wherever it leads.
std::string readFileContents(const FolderHandle& folder, const std::string& name,
                             std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

} // namespace vexel
