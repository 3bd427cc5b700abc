#pragma once

#include "app/AppController.h"
#include "app/AppEnvironment.h"
#include "app/DependencyContainer.h"
#include "domain/entities/EditCommand.h"
#include "platform/playback/SilentAudioSink.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/ManualTime.h"
#include "presentation/support/ScriptedDialogService.h"
#include "support/InMemorySecretStore.h"
#include "support/RecordingLogger.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vexel::test {

// A two-second title at `at` seconds: an edit that needs no media.
inline EditCommand addTitle(double at) {
    EditCommand::AddText add;
    add.text = "Title";
    add.at = at;
    add.duration = 2;
    return add;
}

// The application as main() builds it, run by hand: folders of the test's own
// for the data (the auto-save), the cache (staging, exports) and the
// settings, an in-memory secret store, a clock the test moves, no sound
// device, and dialogs answered from a script. Several runs may follow one
// another over the same folders, as launches of the program do.
struct AppHarness {
    AppHarness() = default;
    AppHarness(const AppHarness&) = delete;
    AppHarness& operator=(const AppHarness&) = delete;

    // Tasks started last take their waits from `time`: they must see that
    // they were cancelled while it still exists.
    ~AppHarness() {
        app.reset();
        settle();
    }

    AppEnvironment environment() {
        AppEnvironment environment;
        environment.logger = logger;
        environment.secretStore = secrets;
        const QString settingsFile = QFile::decodeName((root / "settings.ini").c_str());
        environment.openUserDefaults = [settingsFile] {
            return std::make_unique<QSettings>(settingsFile, QSettings::IniFormat);
        };
        environment.environment = [variables = variables](const std::string& name) {
            const auto found = variables.find(name);
            return found == variables.end() ? std::nullopt : std::optional(found->second);
        };
        environment.clock = time;
        environment.sleep = time->sleepAction();
        environment.makePlayer = [] {
            auto clock = std::make_shared<playback::SteadyMonotonicClock>();
            return std::make_unique<playback::Player>(
                clock, std::make_unique<playback::SilentAudioSink>(clock));
        };
        environment.infoDictionary = AppEnvironment::buildInfoDictionary();
        environment.resources = resources;
        environment.releaseFreeHeap = [releases = heapReleases] { ++*releases; };
        return environment;
    }

    // Makes the application (its window and quit path, nothing started yet);
    // without `dialogService`, dialogs are scripted or, when scriptDialogs is
    // off, the application's own.
    AppController& make(std::optional<std::filesystem::path> folder = std::nullopt,
                        std::unique_ptr<DialogService> dialogService = nullptr) {
        if (!dialogService && scriptDialogs) {
            auto scripted = std::make_unique<ScriptedDialogService>();
            dialogs = scripted.get();
            dialogService = std::move(scripted);
        }
        app = std::make_unique<AppController>(environment(), std::move(folder),
                                              std::move(dialogService), [this] { ++terminations; });
        return *app;
    }

    // Starts the application and runs its start-up to the end: the editor
    // built, recovery offered, the folder opened.
    AppController& launch(std::optional<std::filesystem::path> folder = std::nullopt) {
        make(std::move(folder));
        app->start();
        awaitTask(app->startup()->finished());
        settle();
        return *app;
    }

    // Ends the run without quitting, as a crash or a killed process would.
    void crash() {
        app.reset();
        settle();
    }

    EditorGraph& graph() { return *app->editorGraph(); }

    void edit(EditCommand command) {
        awaitTask(graph().timelineViewModel().executeCommand(std::move(command)));
        settle();
    }

    // A one-second movie of the test's own making, `name` in the test's
    // folder, added on the timeline at `start`; its clip's id.
    Uuid addMovie(const std::string& name, double start = 0) {
        const std::filesystem::path file = root / name;
        vexel::testing::TestMovie movie;
        movie.frameCount = 30;
        vexel::testing::writeTestMovie(file, movie);
        awaitTask(graph().timelineViewModel().addClip(file, TrackType::video, start, name));
        settle();
        return graph().timelineViewModel().project().videoClips().back().id;
    }

    // Lets the auto-save's debounce pass and waits for the write it starts.
    void passDebounce() {
        settle();
        time->advance(environment().autoSaveDebounce);
        MainViewModel& document = graph().mainViewModel();
        ASSERT_TRUE(document.autoSaveTask());
        awaitTask(document.autoSaveTask()->finished());
        settle();
    }

    // What the application logged as errors (debug lines left out).
    std::vector<std::string> errors() const {
        std::vector<std::string> messages;
        for (const auto& [level, message] : logger->entries()) {
            if (level == LogLevel::error) {
                messages.push_back(message);
            }
        }
        return messages;
    }

    std::shared_ptr<const FileAutoSaveService> autoSave() {
        return DependencyContainer::makeAutoSaveService(environment());
    }

    std::filesystem::path stagingFolder() const {
        return root / "cache" / "vexel" / "com.vexel.staged";
    }
    std::filesystem::path exportFolder() const {
        return root / "cache" / "vexel" / "com.vexel.exports";
    }

    vexel::testing::TemporaryFolder root;
    vexel::testing::ScopedEnvironment dataHome{"XDG_DATA_HOME", (root / "data").string()};
    vexel::testing::ScopedEnvironment cacheHome{"XDG_CACHE_HOME", (root / "cache").string()};
    std::shared_ptr<ManualTime> time = std::make_shared<ManualTime>();
    std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
    std::shared_ptr<vexel::testing::InMemorySecretStore> secrets =
        std::make_shared<vexel::testing::InMemorySecretStore>();
    // The process environment the application reads the backend from: an
    // address that answers nothing, never asked in these runs.
    std::map<std::string, std::string> variables{{"VEXEL_BACKEND_URL", "http://127.0.0.1:9"},
                                                 {"VEXEL_ACCESS_TOKEN", "token"}};
    // Where the tutorial finds its sample: nowhere, unless a test says.
    ResourceBundle resources{{}};
    int terminations = 0;
    // How often the application handed its free heap back (on a worker).
    std::shared_ptr<std::atomic<int>> heapReleases = std::make_shared<std::atomic<int>>(0);
    // False: the application asks through its own message boxes.
    bool scriptDialogs = true;
    // The scripted dialogs of the running application, when it has them.
    ScriptedDialogService* dialogs = nullptr;
    std::unique_ptr<AppController> app;
};

} // namespace vexel::test
