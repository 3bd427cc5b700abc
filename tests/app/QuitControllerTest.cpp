#include "app/QuitController.h"

#include "app/AppHarness.h"
#include "app/HeldDialogService.h"
#include "data/persistence/ProjectPersistenceService.h"

#include <QKeySequence>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace vexel;
using namespace vexel::test;

namespace {

const AlertRequest quitQuestion{
    QStringLiteral("Vexel"),
    QStringLiteral("Save changes before quitting?"),
    QStringLiteral("Your unsaved changes will be lost if you don't save them."),
    {{QStringLiteral("Save"), AlertButtonRole::defaultAction},
     {QStringLiteral("Don't Save"), AlertButtonRole::destructive},
     {QStringLiteral("Cancel"), AlertButtonRole::cancel}}};

TEST(QuitControllerTest, BeforeTheEditorExistsQuittingIsImmediateAndTouchesNoFile) {
    AppHarness harness;
    harness.autoSave()->save(Project::makeNew());
    AppController& app = harness.make();
    QAction& quit = app.window().quitAction();
    EXPECT_EQ(quit.text(), QStringLiteral("Quit"));
    EXPECT_TRUE(quit.shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Q"))));
    for (const QKeySequence& platformQuit : QKeySequence::keyBindings(QKeySequence::Quit)) {
        EXPECT_TRUE(quit.shortcuts().contains(platformQuit));
    }

    quit.trigger();
    EXPECT_TRUE(app.quitController().isQuitAllowed());
    settle();
    EXPECT_EQ(harness.terminations, 1);
    EXPECT_TRUE(harness.dialogs->alerts().empty());
    EXPECT_TRUE(harness.autoSave()->exists());
}

TEST(QuitControllerTest, ACleanDocumentQuitsAtOnceWithoutItsAutoSave) {
    AppHarness harness;
    AppController& app = harness.launch();
    // A new document is clean, and auto-saved all the same once idle.
    harness.graph().mainViewModel().newProject();
    harness.passDebounce();
    ASSERT_TRUE(harness.autoSave()->exists());
    ASSERT_FALSE(harness.graph().mainViewModel().isDirty());

    EXPECT_TRUE(app.window().close());
    EXPECT_TRUE(app.quitController().isQuitAllowed());
    EXPECT_FALSE(harness.autoSave()->exists());
    settle();
    EXPECT_EQ(harness.terminations, 1);
    EXPECT_TRUE(harness.dialogs->alerts().empty());
}

TEST(QuitControllerTest, UnsavedWorkIsFlushedThenKeptUntilItIsSavedOrGivenUp) {
    enum class Folder { none, writable, failing };
    const struct {
        const char* name;
        Folder folder;
        const char* answer;
        bool quits;
        bool autoSaveKept;
    } cases[] = {
        {"cancel", Folder::writable, "Cancel", false, true},
        {"don't save", Folder::none, "Don't Save", true, false},
        {"save into its folder", Folder::writable, "Save", true, false},
        // The save only asks the window for a folder (whose panel is then
        // cancelled here): the work is not safe.
        {"save without a folder", Folder::none, "Save", false, true},
        {"save that fails", Folder::failing, "Save", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness harness;
        AppController& app = harness.launch();
        MainViewModel& document = harness.graph().mainViewModel();
        const std::filesystem::path folder = harness.root / "Film";
        if (c.folder != Folder::none) {
            awaitTask(document.saveTo(folder));
            settle();
        }
        if (c.folder == Folder::failing) {
            // The document's folder, where a folder now stands in the way of its file.
            std::filesystem::remove(folder / "project.json");
            std::filesystem::create_directory(folder / "project.json");
        }
        harness.edit(addTitle(1));
        const Project edited = harness.graph().timelineViewModel().project();
        ASSERT_TRUE(document.isDirty());
        ASSERT_FALSE(harness.autoSave()->exists());

        const bool asksForFolder = c.folder == Folder::none && std::string(c.answer) == "Save";
        harness.dialogs->answerAlert(c.answer);
        if (asksForFolder) {
            harness.dialogs->answerPanel({});
        }
        EXPECT_FALSE(app.window().close());
        ASSERT_TRUE(app.quitController().isDeciding());
        // A second request while the question is open asks nothing.
        app.window().quitAction().trigger();
        awaitTask(app.quitController().decision()->finished());
        settle();

        EXPECT_EQ(harness.dialogs->alerts(), std::vector<AlertRequest>{quitQuestion});
        EXPECT_EQ(app.quitController().isQuitAllowed(), c.quits);
        EXPECT_EQ(harness.terminations, c.quits ? 1 : 0);
        const bool saved = c.quits && std::string(c.answer) == "Save";
        EXPECT_EQ(document.isDirty(), !saved);
        EXPECT_EQ(harness.autoSave()->exists(), c.autoSaveKept);
        if (c.autoSaveKept) {
            EXPECT_EQ(harness.autoSave()->load(), edited);
        }
        if (c.quits && c.folder == Folder::writable) {
            EXPECT_EQ(ProjectPersistenceService().load(folder), edited);
        }
        if (!c.quits) {
            // The window stays open, and asks again at the next request.
            EXPECT_TRUE(app.window().isVisible());
            harness.dialogs->answerAlert("Cancel");
            app.quitController().requestQuit();
            awaitTask(app.quitController().decision()->finished());
            EXPECT_EQ(harness.dialogs->alerts().size(), 2u);
        }
        EXPECT_EQ(harness.dialogs->panels().size(), asksForFolder ? 1u : 0u);
        EXPECT_FALSE(document.showSaveDialog());
        const std::vector<AppError>& errors = harness.graph().errorBannerViewModel().errorHistory();
        EXPECT_EQ(errors.size(), c.folder == Folder::failing ? 1u : 0u);
    }
}

TEST(QuitControllerTest, AnEndingSessionKeepsTheWorkForRecoveryOrAsksWhenItMay) {
    AppHarness harness;
    AppController& app = harness.launch();
    harness.edit(addTitle(1));
    const Project edited = harness.graph().timelineViewModel().project();

    // Asking is allowed: the shutdown is held back and the user asked.
    harness.dialogs->answerAlert("Cancel");
    EXPECT_TRUE(app.quitController().commitData(true));
    awaitTask(app.quitController().decision()->finished());
    EXPECT_EQ(harness.dialogs->alerts().size(), 1u);
    EXPECT_FALSE(app.quitController().isQuitAllowed());

    // No one may be asked: the work is written before the session goes on,
    // and kept for the next start.
    harness.edit(addTitle(5));
    const Project later = harness.graph().timelineViewModel().project();
    EXPECT_FALSE(app.quitController().commitData(false));
    EXPECT_TRUE(app.quitController().isQuitAllowed());
    EXPECT_EQ(harness.autoSave()->load(), later);
    EXPECT_NE(later, edited);
    settle();
    EXPECT_EQ(harness.terminations, 1);
    EXPECT_EQ(harness.dialogs->alerts().size(), 1u);

    harness.crash();
    harness.dialogs = nullptr;
    harness.make();
    harness.dialogs->answerAlert("Recover");
    harness.app->start();
    awaitTask(harness.app->startup()->finished());
    EXPECT_EQ(harness.graph().timelineViewModel().project(), later.ensuringDefaultAudioTracks());
}

// Until the recovery question is answered, the auto-save is the only copy of
// that work: quitting meanwhile must leave it for the next start.
TEST(QuitControllerTest, QuittingWhileRecoveryIsOfferedKeepsTheAutoSave) {
    AppHarness harness;
    harness.launch();
    harness.edit(addTitle(1));
    harness.passDebounce();
    harness.crash();
    ASSERT_TRUE(harness.autoSave()->exists());

    auto held = std::make_unique<HeldDialogService>();
    HeldDialogService& dialogs = *held;
    AppController& app = harness.make(std::nullopt, std::move(held));
    app.start();
    settle();
    ASSERT_EQ(dialogs.asked.size(), 1u);

    app.window().quitAction().trigger();
    EXPECT_TRUE(app.quitController().isQuitAllowed());
    settle();
    EXPECT_EQ(harness.terminations, 1);
    EXPECT_TRUE(harness.autoSave()->exists());
    dialogs.reply(-1);
    awaitTask(app.startup()->finished());
    EXPECT_TRUE(harness.autoSave()->exists());
}

} // namespace
