#pragma once

#include <filesystem>
#include <optional>

namespace vexel {

// The project folder named on the command line, absolute; none when no folder
// is given. `argc` and `argv` are what the application object left of them
// (it takes its own options out). The folder is the very bytes given, so that
// a name in another encoding than the user's still names that folder.
// "--help" and "--version" print their text and end the process, as does an
// unknown option, with a message.
std::optional<std::filesystem::path> projectFolderArgument(int argc, const char* const* argv);

} // namespace vexel
