#include "platform/desktop/GtkSettingsFile.h"

#include <glib.h>

#include <algorithm>

namespace vexel::desktop {

namespace {

std::optional<std::string> nonEmpty(const EnvironmentLookup& environment, const char* name) {
    std::optional<std::string> value = environment(name);
    if (value && value->empty()) {
        value.reset();
    }
    return value;
}

} // namespace

std::vector<std::filesystem::path> gtkSettingsFiles(const EnvironmentLookup& environment) {
    std::vector<std::filesystem::path> folders;
    // Relative folders are ignored, as the XDG rules ask.
    const auto addFolder = [&folders](const std::filesystem::path& folder) {
        if (folder.is_absolute()) {
            folders.push_back(folder);
        }
    };
    if (const std::optional<std::string> config = nonEmpty(environment, "XDG_CONFIG_HOME")) {
        addFolder(*config);
    } else if (const std::optional<std::string> home = nonEmpty(environment, "HOME")) {
        addFolder(std::filesystem::path(*home) / ".config");
    }
    const std::string systemFolders =
        nonEmpty(environment, "XDG_CONFIG_DIRS").value_or(std::string("/etc/xdg"));
    std::size_t start = 0;
    while (start <= systemFolders.size()) {
        const std::size_t end = std::min(systemFolders.find(':', start), systemFolders.size());
        if (end > start) {
            addFolder(systemFolders.substr(start, end - start));
        }
        start = end + 1;
    }
    std::vector<std::filesystem::path> files;
    for (const std::filesystem::path& folder : folders) {
        files.push_back(folder / "gtk-4.0" / "settings.ini");
        files.push_back(folder / "gtk-3.0" / "settings.ini");
    }
    return files;
}

std::optional<bool> readGtkEnableAnimations(const std::filesystem::path& file) {
    // GTK reads the file as a GLib key file: so does this.
    GKeyFile* keys = g_key_file_new();
    std::optional<bool> enabled;
    if (g_key_file_load_from_file(keys, file.c_str(), G_KEY_FILE_NONE, nullptr)) {
        GError* error = nullptr;
        const gboolean value =
            g_key_file_get_boolean(keys, "Settings", "gtk-enable-animations", &error);
        if (error == nullptr) {
            enabled = value != FALSE;
        } else {
            g_error_free(error);
        }
    }
    g_key_file_free(keys);
    return enabled;
}

} // namespace vexel::desktop
