#pragma once

#include "foundation/Environment.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vexel::desktop {

// The GTK settings files ("settings.ini" of GTK 4 and GTK 3) in the order in
// which they decide: the user's (XDG_CONFIG_HOME, else ~/.config) before
// those of the system (XDG_CONFIG_DIRS, else /etc/xdg), GTK 4's before
// GTK 3's in each.
std::vector<std::filesystem::path> gtkSettingsFiles(const EnvironmentLookup& environment);

// "gtk-enable-animations" of the file's [Settings] group; none when the file
// is missing or unreadable, or does not say it as a boolean.
std::optional<bool> readGtkEnableAnimations(const std::filesystem::path& file);

} // namespace vexel::desktop
