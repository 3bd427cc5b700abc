#pragma once

#include <filesystem>

namespace vexel {

// The private folder that holds staged imports and carrier movies
// ("com.vexel.staged", see privateFolderPath).
std::filesystem::path stagingFolderPath();

// The staging folder, created (mode 0700) when absent. Throws
// std::filesystem::filesystem_error when it cannot be made or is not ours.
std::filesystem::path ensureStagingFolder();

} // namespace vexel
