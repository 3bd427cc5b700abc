#pragma once

#include "foundation/Logger.h"
#include "infrastructure/network/BackendConfiguration.h"
#include "platform/keychain/SecretStore.h"
#include "platform/memory/Heap.h"
#include "platform/playback/Player.h"
#include "presentation/helpers/ResourceBundle.h"
#include "presentation/viewmodels/runtime/Clock.h"
#include "presentation/viewmodels/runtime/DisplayLink.h"
#include "presentation/viewmodels/runtime/Sleep.h"

#include <QSettings>
#include <QVariantMap>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace vexel {

// What the application takes from the machine it runs on: the log, the secret
// store and the settings, where the auto-save lives, the installed resources,
// the environment that names the backend, time, the screen and the sound
// device. main() gives the system's own; tests give temporary folders, an
// in-memory secret store and a hand-driven clock.
struct AppEnvironment {
    std::shared_ptr<Logger> logger;
    std::shared_ptr<const keychain::SecretStore> secretStore;
    // Opens the user's settings; the editor keeps the one it opens.
    std::function<std::unique_ptr<QSettings>()> openUserDefaults;
    // None: "autosave" in the application's data folder.
    std::optional<std::filesystem::path> autoSaveDirectory;
    ResourceBundle resources{{}};
    EnvironmentLookup environment = processEnvironment;
    std::shared_ptr<const Clock> clock = std::make_shared<SystemClock>();
    SleepAction sleep = sleepOnEventLoop;
    // None: no display link (no screen).
    DisplayLinkFactory displayLinks;
    // None: a player on the default sound device.
    std::function<std::unique_ptr<playback::Player>()> makePlayer;
    std::chrono::duration<double> autoSaveDebounce{5.0};
    // Hands the heap's free memory back to the system, once the editor rests
    // after heavy work.
    std::function<void()> releaseFreeHeap = memory::releaseFreeHeap;
    // The version strings under "CFBundleShortVersionString" and
    // "CFBundleVersion".
    QVariantMap infoDictionary;

    // The running system's: the desktop's secret store (or key files), the
    // settings of the application's organisation and name, the resources
    // installed beside the program, the process environment, the main
    // screen's refresh rate. Needs the application object.
    static AppEnvironment system(std::shared_ptr<Logger> logger);

    // This build's version and id, as the support reports and the settings
    // show them.
    static QVariantMap buildInfoDictionary();
};

} // namespace vexel
