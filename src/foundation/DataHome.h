#pragma once

#include <filesystem>

namespace vexel {

// The folder where the application keeps its own data between runs, the
// auto-save among them: "com.vexel.app" in the user's data folder
// ($XDG_DATA_HOME when it names an absolute path, else ~/.local/share). Only
// computes the path; throws std::runtime_error when there is no home folder.
std::filesystem::path applicationDataFolder();

// The user's home folder: $HOME when it is an absolute path, else the one the
// user database gives. Throws std::runtime_error when there is none.
std::filesystem::path homeFolder();

} // namespace vexel
