#include "app/AppController.h"

#include "app/AppHarness.h"
#include "app/HeldDialogService.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "foundation/StreamLogger.h"
#include "platform/instance/SingleInstance.h"
#include "support/FileContents.h"
#include "support/RunEventsUntil.h"
#include "support/media/MovieMaker.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace vexel;
using namespace vexel::test;
using vexel::testing::ScopedEnvironment;

namespace {

constexpr const char* recoveryFailed = "[App] Failed to recover from auto-save";

void putFile(const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "left by an earlier run";
}

std::vector<std::string> trackNames(const Project& project) {
    std::vector<std::string> names;
    for (const Track& track : project.tracks) {
        names.push_back(track.name);
    }
    return names;
}

// A project of one title and no audio tracks, as an auto-save of a session
// that removed them could hold.
Project titleOnlyProject(AppHarness& harness) {
    harness.launch();
    harness.edit(addTitle(1));
    Project project = harness.graph().timelineViewModel().project();
    std::erase_if(project.tracks,
                  [](const Track& track) { return track.type == TrackType::audio; });
    harness.crash();
    return project;
}

TEST(AppControllerTest, WithoutAnAutoSaveTheStartTidiesUpAsksNothingAndOpensTheFolder) {
    AppHarness harness;
    const std::filesystem::path folder = harness.root / "My Film";
    harness.launch();
    harness.edit(addTitle(2));
    awaitTask(harness.graph().mainViewModel().saveTo(folder));
    harness.crash();
    ASSERT_FALSE(harness.autoSave()->exists());

    putFile(harness.stagingFolder() / "old.mov");
    putFile(harness.exportFolder() / "VexelExport_old.mp4");
    harness.secrets->add({"com.vexel.app.api-key", "api-key"}, "legacy");
    // What a Save As killed while it copied media leaves: its folder, half
    // built under a hidden name beside the chosen place, and its record.
    const std::filesystem::path halfBuilt = harness.root / ".Copy.saving-1A2B3C4D";
    putFile(halfBuilt / "assets" / "take.mov");
    const std::filesystem::path records =
        harness.root / "data" / "com.vexel.app" / "unfinished-saves";
    std::filesystem::create_directories(records);
    std::ofstream(records / "save.path") << halfBuilt.string();

    harness.launch(folder);
    EXPECT_FALSE(std::filesystem::exists(halfBuilt));
    EXPECT_TRUE(std::filesystem::is_empty(records));
    EXPECT_TRUE(harness.dialogs->alerts().empty());
    EXPECT_FALSE(std::filesystem::exists(harness.stagingFolder()));
    EXPECT_FALSE(std::filesystem::exists(harness.exportFolder()));
    EXPECT_FALSE(harness.secrets->find({"com.vexel.app.api-key", "api-key"}));
    EXPECT_TRUE(harness.app->window().isVisible());
    EXPECT_EQ(harness.app->window().size(), QSize(1200, 800));
    EXPECT_EQ(harness.app->window().editorGraph(), &harness.graph());

    const MainViewModel& document = harness.graph().mainViewModel();
    EXPECT_EQ(harness.graph().timelineViewModel().project(),
              ProjectPersistenceService().load(folder));
    EXPECT_EQ(harness.graph().timelineViewModel().project().textClips().size(), 1u);
    EXPECT_EQ(document.currentProjectURL(), folder);
    EXPECT_FALSE(document.isDirty());
    EXPECT_EQ(harness.errors(), std::vector<std::string>{});
}

TEST(AppControllerTest, RecoverShowsTheUnsavedWorkWithItsDefaultTracksAndKeepsItUnsaved) {
    AppHarness harness;
    const Project saved = titleOnlyProject(harness);
    harness.autoSave()->save(saved);
    putFile(harness.stagingFolder() / "clip.mov");
    putFile(harness.exportFolder() / "VexelExport_old.mp4");

    // Started with a folder: once the work is recovered, the folder opens as
    // Open opens it, asking first about the recovered work, which is unsaved.
    for (const bool open : {false, true}) {
        harness.make(harness.root / "Other Film");
        harness.dialogs->answerAlert("Recover");
        harness.dialogs->answerAlert(open ? "Don't Save" : "Cancel");
        harness.app->start();
        awaitTask(harness.app->startup()->finished());
        settle();

        // The staged media the auto-save points at stay; old exports go.
        EXPECT_TRUE(std::filesystem::exists(harness.stagingFolder() / "clip.mov"));
        EXPECT_FALSE(std::filesystem::exists(harness.exportFolder()));
        ASSERT_EQ(harness.dialogs->alerts().size(), 2u);
        EXPECT_EQ(harness.dialogs->alerts()[0],
                  (AlertRequest{QStringLiteral("Vexel"),
                                QStringLiteral("Recover unsaved changes?"),
                                QStringLiteral("A previous session was not saved. Would you like "
                                               "to recover your work?"),
                                {{QStringLiteral("Recover"), AlertButtonRole::defaultAction},
                                 {QStringLiteral("Discard"), AlertButtonRole::destructive}}}));
        EXPECT_EQ(harness.dialogs->alerts()[1].message,
                  QStringLiteral("Save changes to the current project?"));
        const MainViewModel& document = harness.graph().mainViewModel();
        if (open) {
            EXPECT_EQ(document.currentProjectURL(), harness.root / "Other Film");
            EXPECT_FALSE(document.isDirty());
            break;
        }
        const Project& shown = harness.graph().timelineViewModel().project();
        EXPECT_EQ(trackNames(shown), (std::vector<std::string>{saved.tracks[0].name, "Audio 1",
                                                               "Audio 2", "Audio 3"}));
        EXPECT_EQ(shown.tracks[0], saved.tracks[0]);
        EXPECT_EQ(shown.maxDuration, saved.maxDuration);
        EXPECT_EQ(harness.graph().projectRepository()->load(), shown);
        EXPECT_TRUE(document.isDirty());
        EXPECT_TRUE(harness.autoSave()->exists());
        EXPECT_FALSE(document.currentProjectURL());
        harness.crash();
        Project other = Project::makeNew();
        other.tracks.push_back(Track{Uuid::random(), TrackType::audio, "Music", {}, false});
        ProjectPersistenceService().save(other, harness.root / "Other Film");
    }
}

// An editor that cannot make sure it runs alone (here: the lock file is a
// folder and there is no name to hold) runs, says so, and leaves alone all
// that may be another running editor's: its auto-save, staged media and
// exports.
TEST(AppControllerTest, AnEditorThatCannotMakeSureItRunsAloneSaysSoAndKeepsTheSharedFiles) {
    AppHarness harness;
    const Project others = titleOnlyProject(harness);
    harness.autoSave()->save(others);
    putFile(harness.stagingFolder() / "clip.mov");
    putFile(harness.exportFolder() / "VexelExport_running.mp4");

    std::filesystem::create_directories(harness.root / "instance" / "editor.lock");
    const instance::InstancePaths paths{harness.root / "instance" / "editor.lock",
                                        harness.root / "instance" / "editor.socket",
                                        "",
                                        {}};
    std::optional<instance::PrimaryInstance> claimed = instance::claimInstance(paths, std::nullopt);
    ASSERT_TRUE(claimed);
    harness.make();
    harness.dialogs->answerAlert("OK");
    harness.app->becomeTheEditor(std::make_unique<instance::PrimaryInstance>(std::move(*claimed)));
    harness.app->start();
    awaitTask(harness.app->startup()->finished());
    settle();
    ASSERT_EQ(harness.dialogs->alerts().size(), 1u);
    EXPECT_EQ(harness.dialogs->alerts()[0].message,
              QStringLiteral("Vexel cannot make sure that it is the only editor running."));
    EXPECT_TRUE(harness.app->isUnguarded());

    // Editing, saving and quitting write and remove no auto-save.
    harness.edit(addTitle(4));
    harness.passDebounce();
    awaitTask(harness.graph().mainViewModel().saveTo(harness.root / "Mine"));
    harness.app->quitController().requestQuit();
    EXPECT_TRUE(harness.app->quitController().isQuitAllowed());
    EXPECT_EQ(harness.autoSave()->load(), others);
    EXPECT_TRUE(std::filesystem::exists(harness.stagingFolder() / "clip.mov"));
    EXPECT_TRUE(std::filesystem::exists(harness.exportFolder() / "VexelExport_running.mp4"));
    EXPECT_EQ(harness.logger->countStartingWith("[App] Cannot make sure this is the only editor"),
              1u);

    // The same for a start given no instance at all (no home folder to
    // look in).
    harness.crash();
    harness.make();
    harness.dialogs->answerAlert("OK");
    harness.app->becomeTheEditor(nullptr);
    harness.app->start();
    awaitTask(harness.app->startup()->finished());
    settle();
    EXPECT_EQ(harness.dialogs->alerts().size(), 1u);
    EXPECT_EQ(harness.autoSave()->load(), others);
    EXPECT_TRUE(std::filesystem::exists(harness.stagingFolder() / "clip.mov"));
}

TEST(AppControllerTest, AnAutoSaveThatDoesNotLoadIsLoggedAndKeptOnDisk) {
    AppHarness harness;
    const std::filesystem::path file = harness.autoSave()->filePath();
    const struct {
        const char* name;
        std::string content;
        // Sealed under a key this run does not have: set aside under a name
        // of its own, and the banner says so.
        bool keptAside;
    } cases[] = {
        {"a damaged record", R"({"version": 1, "tracks": 7})", false},
        {"not a record at all", "not a sealed project", true},
        {"bytes of another key", std::string(40, '\x07'), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        putFile(file);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << c.content;
        harness.make();
        harness.dialogs->answerAlert("Recover");
        harness.app->start();
        awaitTask(harness.app->startup()->finished());
        settle();

        EXPECT_EQ(harness.errors(), std::vector<std::string>{recoveryFailed});
        EXPECT_EQ(harness.graph().timelineViewModel().project().tracks.size(), 3u);
        EXPECT_FALSE(harness.graph().mainViewModel().isDirty());
        EXPECT_EQ(harness.graph().errorBannerViewModel().errorHistory().size(),
                  c.keptAside ? 1u : 0u);
        // Work that could not be read now (a locked keyring, say) may be read
        // at a later start: quitting the clean editor leaves it on disk.
        harness.app->quitController().requestQuit();
        EXPECT_TRUE(harness.app->quitController().isQuitAllowed());
        const std::vector<std::filesystem::path> kept = harness.autoSave()->keptFiles();
        if (c.keptAside) {
            ASSERT_EQ(kept.size(), 1u);
            EXPECT_EQ(readFile(kept.front()), c.content);
            std::filesystem::remove(kept.front());
        } else {
            EXPECT_TRUE(kept.empty());
            EXPECT_EQ(readFile(file), c.content);
        }
        harness.crash();
        harness.logger = std::make_shared<RecordingLogger>();
    }
}

TEST(AppControllerTest, DiscardRemovesTheAutoSaveAndTheStagedMediaForGood) {
    AppHarness harness;
    harness.autoSave()->save(titleOnlyProject(harness));
    putFile(harness.stagingFolder() / "clip.mov");

    harness.make();
    harness.dialogs->answerAlert("Discard");
    harness.app->start();
    awaitTask(harness.app->startup()->finished());
    settle();
    EXPECT_EQ(harness.dialogs->alerts().size(), 1u);
    EXPECT_FALSE(harness.autoSave()->exists());
    EXPECT_FALSE(std::filesystem::exists(harness.stagingFolder()));
    EXPECT_EQ(harness.graph().timelineViewModel().project().tracks.size(), 3u);
    EXPECT_FALSE(harness.graph().mainViewModel().isDirty());

    harness.crash();
    harness.launch();
    EXPECT_TRUE(harness.dialogs->alerts().empty());
}

// Staged media live on disk, so an unsaved session survives the memory-backed
// runtime folder being emptied (a logout, a reboot) as well as the crash.
TEST(AppControllerTest, RecoveredMediaSurviveTheRuntimeFolderBeingEmptied) {
    AppHarness harness;
    const std::filesystem::path runtime = harness.root / "runtime";
    std::filesystem::create_directory(runtime);
    ScopedEnvironment runtimeVariable("XDG_RUNTIME_DIR", runtime.string());
    const std::filesystem::path source = harness.root / "holiday.mp4";
    vexel::testing::writeTestMovie(source, {.width = 160, .height = 90, .frameCount = 30});

    harness.launch();
    awaitTask(harness.graph().mainViewModel().addFiles(
        {QUrl::fromLocalFile(QFile::decodeName(source.c_str()))}));
    settle();
    const Project imported = harness.graph().timelineViewModel().project();
    ASSERT_EQ(imported.videoClips().size(), 1u);
    harness.passDebounce();
    harness.crash();

    std::filesystem::remove_all(runtime);
    std::filesystem::create_directory(runtime);
    std::filesystem::remove(source);

    harness.make();
    harness.dialogs->answerAlert("Recover");
    harness.app->start();
    awaitTask(harness.app->startup()->finished());
    settle();
    const Project& recovered = harness.graph().timelineViewModel().project();
    EXPECT_EQ(recovered, imported.ensuringDefaultAudioTracks());
    ASSERT_TRUE(recovered.videoClips().front().assetURL);
    const std::filesystem::path media = *recovered.videoClips().front().assetURL;
    EXPECT_EQ(media.parent_path(), harness.stagingFolder());
    EXPECT_TRUE(std::filesystem::is_regular_file(media));

    // The preview plays it.
    PreviewViewModel& preview = harness.graph().previewViewModel();
    awaitTask(preview.loadProject(recovered).finished());
    EXPECT_TRUE(preview.hasContent());
}

} // namespace

TEST(AppControllerTest, WithoutABackendTheStartSaysSoOnceAndReadablyInTheLog) {
    AppHarness harness;
    harness.variables.clear();
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        // As main() logs: private text hidden.
        AppEnvironment environment = harness.environment();
        environment.logger = std::make_shared<StreamLogger>(file, false);
        AppController app(std::move(environment), std::nullopt,
                          std::make_unique<ScriptedDialogService>(), [] {});
        app.start();
        awaitTask(app.startup()->finished());
        settle();
    }
    std::rewind(file);
    std::string text;
    char buffer[512];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, file)) {
        text.append(buffer, n);
    }
    std::fclose(file);
    std::vector<std::string> notices;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("[App]") != std::string::npos) {
            notices.push_back(line);
        }
    }
    EXPECT_EQ(
        notices,
        std::vector<std::string>{"com.vexel.app general info: [App] The assistant backend is not "
                                 "configured: set VEXEL_BACKEND_URL and VEXEL_ACCESS_TOKEN"})
        << text;
}

namespace {

// Hands `folder` to the editor listening at `paths` from another thread, as a
// later start of the program would, while this thread's event loop serves
// the editor; true once the editor took it.
bool handOverFromAnotherStart(const instance::InstancePaths& paths,
                              const std::filesystem::path& folder) {
    std::atomic<bool> done = false;
    std::optional<bool> taken;
    std::thread start([&] {
        try {
            taken = !instance::claimInstance(paths, folder).has_value();
        } catch (const std::exception&) {
            taken = false;
        }
        done = true;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
    });
    const bool ended = vexel::testing::runEventsUntil([&] { return done.load(); });
    start.join();
    return ended && taken == true;
}

} // namespace

TEST(AppControllerTest, AFolderHandedOverOpensAfterTheStartUpAndTheUnsavedWorkQuestion) {
    AppHarness harness;
    const Project unsaved = titleOnlyProject(harness);
    harness.autoSave()->save(unsaved);
    const std::filesystem::path folder = harness.root / "Handed Film";
    Project handed = Project::makeNew();
    handed.tracks.push_back(Track{Uuid::random(), TrackType::audio, "Music", {}, false});
    ProjectPersistenceService().save(handed, folder);

    const instance::InstancePaths paths{
        harness.root / "editor.lock", harness.root / "editor.socket", "", {}};
    std::optional<instance::PrimaryInstance> claimed = instance::claimInstance(paths, std::nullopt);
    ASSERT_TRUE(claimed && claimed->server());
    auto held = std::make_unique<HeldDialogService>();
    HeldDialogService& dialogs = *held;
    harness.make(std::nullopt, std::move(held));
    harness.app->becomeTheEditor(std::make_unique<instance::PrimaryInstance>(std::move(*claimed)));
    harness.app->start();
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] { return dialogs.asked.size() == 1; }));
    EXPECT_EQ(dialogs.asked[0].message, QStringLiteral("Recover unsaved changes?"));

    // Handed over while the start-up asks about the recovered work: the folder
    // waits, so that the recovery never lands on the opened folder.
    ASSERT_TRUE(handOverFromAnotherStart(paths, folder));
    ASSERT_TRUE(harness.app->lastHandOver());
    settle();
    const MainViewModel& document = harness.graph().mainViewModel();
    EXPECT_EQ(dialogs.asked.size(), 1u);
    EXPECT_FALSE(document.currentProjectURL());
    dialogs.reply(0); // Recover
    // Then it asks about the recovered work, unsaved; Cancel keeps it.
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] { return dialogs.asked.size() == 2; }));
    EXPECT_EQ(dialogs.asked[1].message, QStringLiteral("Save changes to the current project?"));
    EXPECT_TRUE(harness.app->startup()->isFinished());
    dialogs.reply(2);
    awaitTask(harness.app->lastHandOver()->finished());
    settle();
    EXPECT_TRUE(document.isDirty());
    EXPECT_FALSE(document.currentProjectURL());
    EXPECT_EQ(harness.graph().timelineViewModel().project().textClips(), unsaved.textClips());

    ASSERT_TRUE(handOverFromAnotherStart(paths, folder));
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] { return dialogs.asked.size() == 3; }));
    dialogs.reply(1); // Don't Save
    awaitTask(harness.app->lastHandOver()->finished());
    settle();
    EXPECT_EQ(document.currentProjectURL(), folder);
    EXPECT_FALSE(document.isDirty());
    EXPECT_EQ(harness.graph().timelineViewModel().project(),
              ProjectPersistenceService().load(folder));

    // Once quitting is decided, no later start is taken: it waits to become
    // the editor itself.
    harness.app->quitController().requestQuit();
    settle();
    EXPECT_EQ(harness.terminations, 1);
    EXPECT_FALSE(std::filesystem::exists(paths.socket));
}
