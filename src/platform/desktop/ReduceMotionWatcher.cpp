#include "platform/desktop/ReduceMotionWatcher.h"

#include <QFile>
#include <QStringList>

#include <system_error>
#include <utility>

namespace vexel::desktop {

namespace {

constexpr const char* overrideVariable = "VEXEL_REDUCE_MOTION";

std::optional<bool> overridden(const EnvironmentLookup& environment) {
    const std::optional<std::string> value = environment(overrideVariable);
    if (value == "1") {
        return true;
    }
    if (value == "0") {
        return false;
    }
    return std::nullopt;
}

bool pathExists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

} // namespace

ReduceMotionWatcher::Sources ReduceMotionWatcher::systemSources() {
    Sources sources;
    sources.environment = processEnvironment;
    if (!overridden(sources.environment)) {
        sources.gnome = GnomeAnimationSetting::open();
        sources.gtkFiles = gtkSettingsFiles(sources.environment);
    }
    return sources;
}

ReduceMotionWatcher::ReduceMotionWatcher(Sources sources, QObject* parent)
    : QObject(parent)
    , sources_(std::move(sources)) {
    if (const std::optional<bool> fixed = overridden(sources_.environment)) {
        reduceMotion_ = *fixed;
        return;
    }
    reduceMotion_ = readDesktop();
    if (sources_.gnome) {
        sources_.gnome->setChangeHandler([this] { update(); });
    }
    watchGtkFiles();
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &ReduceMotionWatcher::update);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &ReduceMotionWatcher::update);
}

ReduceMotionWatcher::~ReduceMotionWatcher() {
    if (sources_.gnome) {
        sources_.gnome->setChangeHandler(nullptr);
    }
}

bool ReduceMotionWatcher::readDesktop() const {
    if (sources_.gnome && !sources_.gnome->enableAnimations()) {
        return true;
    }
    return readGtkAnimations() == false;
}

std::optional<bool> ReduceMotionWatcher::readGtkAnimations() const {
    for (const std::filesystem::path& file : sources_.gtkFiles) {
        if (const std::optional<bool> animate = readGtkEnableAnimations(file)) {
            return animate;
        }
    }
    return std::nullopt;
}

void ReduceMotionWatcher::watchGtkFiles() {
    // The file, its folder (where it may be made) and the folder above (where
    // that folder may be made), as far as they exist. A file replaced by
    // renaming another over it leaves a watch on what was deleted: every
    // look starts the watch anew.
    QStringList paths;
    for (const std::filesystem::path& file : sources_.gtkFiles) {
        for (const std::filesystem::path& path :
             {file, file.parent_path(), file.parent_path().parent_path()}) {
            const QString text = QFile::decodeName(path.c_str());
            if (pathExists(path) && !paths.contains(text)) {
                paths.push_back(text);
            }
        }
    }
    const QStringList watched = watcher_.files() + watcher_.directories();
    if (!watched.isEmpty()) {
        watcher_.removePaths(watched);
    }
    if (!paths.isEmpty()) {
        watcher_.addPaths(paths);
    }
}

void ReduceMotionWatcher::update() {
    watchGtkFiles();
    const bool reduce = readDesktop();
    if (reduce != reduceMotion_) {
        reduceMotion_ = reduce;
        emit reduceMotionChanged(reduce);
    }
}

} // namespace vexel::desktop
