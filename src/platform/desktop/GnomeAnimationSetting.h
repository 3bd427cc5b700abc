#pragma once

#include <filesystem>
#include <functional>
#include <memory>

struct _GSettings;

namespace vexel::desktop {

// GNOME's "enable-animations" of "org.gnome.desktop.interface", read through
// GSettings, and told when it changes. Changes arrive from the main loop of
// the thread that opened it (Qt's, on the GUI thread). Holds no GLib type in
// its interface, so that Qt's headers and GLib's never meet.
class GnomeAnimationSetting {
public:
    // The desktop's own; none where the schema is not installed or GSettings
    // has only its in-memory store, which knows nothing of the desktop.
    static std::unique_ptr<GnomeAnimationSetting> open();
    // The schema compiled into `schemaFolder`, its values in the key file
    // `keyFile`; none without the schema.
    static std::unique_ptr<GnomeAnimationSetting> open(const std::filesystem::path& schemaFolder,
                                                       const std::filesystem::path& keyFile);

    ~GnomeAnimationSetting();
    GnomeAnimationSetting(const GnomeAnimationSetting&) = delete;
    GnomeAnimationSetting& operator=(const GnomeAnimationSetting&) = delete;

    bool enableAnimations() const;
    // Called on each change of the value; replaces an earlier handler.
    void setChangeHandler(std::function<void()> handler);

private:
    explicit GnomeAnimationSetting(_GSettings* settings);
    static void changed(_GSettings* settings, const char* key, void* self);

    _GSettings* settings_;
    unsigned long handlerId_ = 0;
    std::function<void()> handler_;
};

} // namespace vexel::desktop
