#pragma once

#include "domain/entities/Project.h"
#include "journeys/PrivateHome.h"

#include <filesystem>

namespace vexel::journeys {

// The project a folder holds once the editor saved `shown` into it: one
// project, at the folder's top and none written inside it, the same as
// `shown` in everything but where the media lie, the copies in the folder
// having the same bytes as the files they were made from.
Project checkSavedFolder(const std::filesystem::path& folder, const Project& shown);

// Relaunch on a saved folder: checks the folder against the project that the
// session saving it wrote into `shownFile`, then runs the session `step` of a
// new editor with the folder and a file of the project it holds as
// arguments, and expects its checks to hold.
void reopenSavedFolder(const JourneyHome& home, const char* step,
                       const std::filesystem::path& folder, const std::filesystem::path& shownFile);

} // namespace vexel::journeys
