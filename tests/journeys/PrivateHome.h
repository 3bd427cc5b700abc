#pragma once

#include "support/media/TemporaryFolder.h"

#include <QProcessEnvironment>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vexel::journeys {

// Set to the journey's folder in its sessions: a session refuses to run
// without it, so that none is ever started over the user's own folders.
inline constexpr const char* journeyHomeVariable = "VEXEL_JOURNEY_HOME";

// The variables that point a process's home folder, XDG folders and session
// bus into `root`, whose folders they make: settings, auto-saves, staged
// imports, exports and the key of the auto-save all land there, and no
// desktop service (the user's keychain among them) can be reached, since the
// session bus address names a socket that does not exist.
std::vector<std::pair<std::string, std::string>>
privateHomeVariables(const std::filesystem::path& root);

// Puts this process over `root`, before anything reads the folders.
void usePrivateHome(const std::filesystem::path& root);

// The folders of one journey, removed at its end: every session of it runs
// over them.
class JourneyHome {
public:
    const std::filesystem::path& path() const { return root_.path(); }
    std::filesystem::path operator/(const std::string& name) const { return root_ / name; }

    // This process's environment with the journey's folders and no session
    // bus, for its sessions.
    QProcessEnvironment environment() const;
    // The same, with the assistant's backend at `backendURL`.
    QProcessEnvironment environment(const std::string& backendURL) const;

private:
    vexel::testing::TemporaryFolder root_;
};

} // namespace vexel::journeys
