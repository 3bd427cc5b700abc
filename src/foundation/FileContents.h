#pragma once

#include <filesystem>
#include <string>

namespace vexel {

// The whole content of a file as bytes. A missing or unreadable file (or a
// folder) is a std::filesystem::filesystem_error carrying the system's error.
std::string readFileContents(const std::filesystem::path& path);

} // namespace vexel
