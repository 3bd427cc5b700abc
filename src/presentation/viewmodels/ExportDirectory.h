#pragma once

#include <QSettings>

#include <filesystem>

namespace vexel {

// The folder in which exports are offered to be saved: the path stored under
// "exportDirectory" in the settings, whether or not it still exists (the save
// panel deals with a folder that went away); else the user's videos folder
// (XDG_VIDEOS_DIR); else the home folder. A stored value that is not text, or
// is empty, counts as none.
std::filesystem::path exportDirectory(const QSettings& settings);

// Where a panel about exports opens: `preferred` when that folder exists, else
// the user's videos folder when it exists, else the home folder. A panel
// asked to open in a folder that is not there shows an empty list, or the
// working folder of the process.
std::filesystem::path existingExportFolder(const std::filesystem::path& preferred);

} // namespace vexel
