#pragma once

#include "platform/desktop/GnomeAnimationSetting.h"
#include "platform/desktop/GtkSettingsFile.h"

#include <QFileSystemWatcher>
#include <QObject>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace vexel::desktop {

// Whether the user asked the desktop for reduced motion, kept up to date:
// VEXEL_REDUCE_MOTION=1 or =0 in the environment decides alone; else motion
// is reduced when any of the desktop's settings turns animations off: GNOME's
// "enable-animations" where GSettings has it, or "gtk-enable-animations" of
// the first GTK settings file that says it. GNOME's key is there, at its
// default of on, wherever its schema is installed, inside a GNOME session or
// not, so it cannot overrule a GTK file that says off. GUI thread only.
class ReduceMotionWatcher : public QObject {
    Q_OBJECT

public:
    struct Sources {
        EnvironmentLookup environment;
        // None: GNOME's setting is not there.
        std::unique_ptr<GnomeAnimationSetting> gnome;
        // Most binding first; watched, so that a file made or changed later
        // counts, whether GNOME's setting is there or not.
        std::vector<std::filesystem::path> gtkFiles;
    };

    // The process environment, the desktop's GSettings and the GTK files the
    // environment names.
    static Sources systemSources();

    explicit ReduceMotionWatcher(Sources sources, QObject* parent = nullptr);
    ~ReduceMotionWatcher() override;

    bool reduceMotion() const { return reduceMotion_; }

signals:
    void reduceMotionChanged(bool reduceMotion);

private:
    bool readDesktop() const;
    std::optional<bool> readGtkAnimations() const;
    void watchGtkFiles();
    void update();

    Sources sources_;
    QFileSystemWatcher watcher_;
    bool reduceMotion_ = false;
};

} // namespace vexel::desktop
