#include "presentation/views/shell/MainWindowCommands.h"

#include "app/AppHarness.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "presentation/support/Keyboard.h"
#include "presentation/support/Pointer.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/shell/MenuTable.h"
#include "presentation/views/shell/SettingsDialog.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "presentation/views/timeline/TimelineRuler.h"
#include "support/LoopbackServer.h"
#include "support/RunEventsUntil.h"
#include "support/media/MovieMaker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace vexel;
using namespace vexel::test;
using vexel::testing::runEventsUntil;

namespace {

// The application as the program starts it, with the commands of its window
// at hand and the media of the test's own making.
struct CommandsHarness {
    CommandsHarness() { app.launch(); }

    MainWindow& window() { return app.app->window(); }
    MainWindowCommands& commands() { return window().commands(); }
    EditorGraph& graph() { return app.graph(); }
    MainViewModel& document() { return graph().mainViewModel(); }
    TimelineViewModel& timeline() { return graph().timelineViewModel(); }
    ScriptedDialogService& dialogs() { return *app.dialogs; }

    // Chooses the command as a menu item would and waits for what it started.
    void trigger(WindowCommand command) {
        const std::optional<TaskHandle> before = commands().lastTask();
        commands().action(command).trigger();
        settle();
        if (commands().lastTask() && commands().lastTask() != before) {
            awaitTask(commands().lastTask()->finished());
            settle();
        }
    }

    // A one-second movie on the timeline at `start`; its clip's id.
    Uuid addMovie(const std::string& name, double start = 0) { return app.addMovie(name, start); }

    void activateWindow() {
        QApplication::setActiveWindow(&window());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    }

    std::vector<QString> panelTitles() const {
        std::vector<QString> titles;
        for (const FilePanelRequest& panel : app.dialogs->panels()) {
            titles.push_back(panel.title);
        }
        return titles;
    }

    std::vector<std::string> chat() {
        std::vector<std::string> texts;
        for (const ChatMessage& message : graph().instructionViewModel().chatHistory().messages()) {
            texts.push_back(message.content());
        }
        return texts;
    }

    AppHarness app;
};

// "Title|Ctrl+N" per item, "-" per separator, as the menu bar shows them.
std::vector<std::string> menuContents(const QMenu& menu) {
    std::vector<std::string> items;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            items.push_back("-");
            continue;
        }
        std::string item = action->text().toStdString();
        for (const QKeySequence& keys : action->shortcuts()) {
            item += "|" + keys.toString(QKeySequence::PortableText).toStdString();
        }
        items.push_back(item);
    }
    return items;
}

TEST(MainWindowCommandsTest, TheMenuBarShowsEveryCommandUnderItsTitleAndKeys) {
    AppHarness harness;
    MainWindow& window = harness.make().window();
    std::vector<std::string> titles;
    std::vector<std::vector<std::string>> menus;
    for (const QAction* menu : window.menuBar()->actions()) {
        titles.push_back(menu->text().toStdString());
        menus.push_back(menuContents(*menu->menu()));
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"File", "Edit", "Tools", "Help"}));
    ASSERT_EQ(menus.size(), 4u);
    EXPECT_EQ(menus[0],
              (std::vector<std::string>{"New Project|Ctrl+N", "-", "Open Project...|Ctrl+O",
                                        "Save|Ctrl+S", "Save As...|Ctrl+Shift+S", "-",
                                        "Export...|Ctrl+Shift+E", "-", "Quit|Ctrl+Q"}));
    EXPECT_EQ(menus[1], (std::vector<std::string>{"Undo|Ctrl+Z", "Redo|Ctrl+Shift+Z", "-",
                                                  "Settings...|Ctrl+,"}));
    EXPECT_EQ(menus[2],
              (std::vector<std::string>{"Command Palette|Ctrl+K", "Split Clip at Playhead|Ctrl+B",
                                        "Delete Selected Clip|Ctrl+Backspace|Ctrl+Del",
                                        "Delete|Backspace|Del", "-", "Play / Pause|Space", "-",
                                        "Zoom In|Ctrl++|Ctrl+=", "Zoom Out|Ctrl+-"}));
    EXPECT_EQ(menus[3], (std::vector<std::string>{"About Vexel", "Check for Updates..."}));

    // The settings' list of shortcuts shows the keys the menus bind.
    std::vector<std::string> rows;
    for (const ShortcutRow& row : shortcutRows()) {
        rows.push_back(row.action.toStdString() + "|" +
                       row.keys.toString(QKeySequence::PortableText).toStdString());
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"Save Project|Ctrl+S", "Open Project|Ctrl+O",
                                              "Undo|Ctrl+Z", "Redo|Ctrl+Shift+Z",
                                              "Command Palette|Ctrl+K", "Split at Playhead|Ctrl+B",
                                              "Delete Selected Clip|Ctrl+Backspace"}));

    // Before the editor exists every item does nothing, and none is disabled
    // but the update check, which has no feed here.
    QAction& updateCheck = window.commands().action(WindowCommand::checkForUpdates);
    for (QAction* action : window.actions()) {
        EXPECT_EQ(action->isEnabled(), action != &updateCheck) << action->text().toStdString();
        if (action != &window.quitAction()) {
            action->trigger();
        }
    }
    settle();
    EXPECT_FALSE(window.commands().lastTask());
    EXPECT_TRUE(harness.dialogs->alerts().empty());
    EXPECT_TRUE(harness.dialogs->panels().empty());
    EXPECT_EQ(harness.terminations, 0);
}

TEST(MainWindowCommandsTest, KeysEditTheTimelineButLeaveTypingToTheTextField) {
    CommandsHarness harness;
    const Uuid first = harness.addMovie("first.mp4", 0);
    const Uuid second = harness.addMovie("second.mp4", 5);
    QLineEdit* field = harness.window().mainView()->chatColumn().inputField();
    // A first run welcomes with the tutorial over the whole window.
    harness.window().mainView()->tutorialHooks().skip();
    harness.activateWindow();
    const auto clipIds = [&] {
        std::vector<Uuid> ids;
        for (const Clip& clip : harness.timeline().project().videoClips()) {
            ids.push_back(clip.id);
        }
        return ids;
    };
    // Through the window, to whatever has the focus.
    const auto press = [&](QKeyCombination keys) {
        test::press(harness.window(), keys);
        settle();
        if (harness.commands().lastTask()) {
            awaitTask(harness.commands().lastTask()->finished());
            settle();
        }
    };

    // Nothing selected: Delete does nothing and says nothing.
    press(QKeyCombination(Qt::Key_Delete));
    EXPECT_EQ(clipIds(), (std::vector<Uuid>{first, second}));
    EXPECT_FALSE(harness.graph().errorBannerViewModel().currentError());

    // The chat field keeps the keys it types with.
    harness.timeline().selectClip(second);
    Pointer(*field).click(field->rect().center());
    ASSERT_TRUE(field->hasFocus());
    test::type(harness.window(), "a b");
    press(QKeyCombination(Qt::Key_Space));
    press(QKeyCombination(Qt::Key_Backspace));
    press(QKeyCombination(Qt::Key_Backspace));
    EXPECT_EQ(field->text(), "a ");
    EXPECT_EQ(clipIds(), (std::vector<Uuid>{first, second}));

    // Elsewhere Backspace deletes the selected clip, and Ctrl+Z brings it back.
    QWidget& ruler = *dynamic_cast<TimelinePanel&>(harness.window().mainView()->timelinePane())
                          .content()
                          ->ruler();
    Pointer(ruler).click({ruler.width() - 4, ruler.height() / 2});
    ASSERT_FALSE(field->hasFocus());
    press(QKeyCombination(Qt::Key_Backspace));
    EXPECT_EQ(clipIds(), std::vector<Uuid>{first});
    press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(clipIds(), (std::vector<Uuid>{first, second}));

    press(Qt::CTRL | Qt::Key_Equal);
    EXPECT_DOUBLE_EQ(harness.timeline().zoomLevel(), 1.25);
    press(Qt::CTRL | Qt::Key_Minus);
    EXPECT_DOUBLE_EQ(harness.timeline().zoomLevel(), 1.0);

    // The playhead at the end is not on the clip at 5 s.
    harness.timeline().selectClip(second);
    press(Qt::CTRL | Qt::Key_B);
    ASSERT_TRUE(harness.graph().errorBannerViewModel().currentError());
    EXPECT_EQ(harness.graph().errorBannerViewModel().currentError()->message,
              "Cannot split clip here");
    EXPECT_EQ(clipIds(), (std::vector<Uuid>{first, second}));
}

TEST(MainWindowCommandsTest, NewProjectNeverDropsUnsavedWorkUnasked) {
    CommandsHarness harness;
    MainViewModel& document = harness.document();
    const auto titles = [&] { return harness.timeline().project().textClips().size(); };

    // Clean: reset at once.
    harness.app.edit(addTitle(1));
    const std::filesystem::path folder = harness.app.root / "Saved.vexel";
    awaitTask(document.saveTo(folder));
    ASSERT_FALSE(document.isDirty());
    harness.trigger(WindowCommand::newProject);
    EXPECT_TRUE(harness.dialogs().alerts().empty());
    EXPECT_EQ(titles(), 0u);
    EXPECT_FALSE(document.currentProjectURL());

    // Dirty and Cancel: nothing changes.
    harness.app.edit(addTitle(1));
    harness.dialogs().answerAlert("Cancel");
    harness.trigger(WindowCommand::newProject);
    ASSERT_EQ(harness.dialogs().alerts().size(), 1u);
    const AlertRequest& question = harness.dialogs().alerts().front();
    EXPECT_EQ(question.message, "Save changes to the current project?");
    EXPECT_EQ(question.informativeText,
              "Your unsaved changes will be lost if you don't save them.");
    EXPECT_EQ(question.buttons,
              (std::vector<AlertButton>{{"Save", AlertButtonRole::defaultAction},
                                        {"Don't Save", AlertButtonRole::destructive},
                                        {"Cancel", AlertButtonRole::cancel}}));
    EXPECT_EQ(titles(), 1u);
    EXPECT_TRUE(document.isDirty());

    // Save without a folder: the save panel, whose Cancel cancels it all.
    harness.dialogs().answerAlert("Save");
    harness.dialogs().answerPanel({});
    harness.trigger(WindowCommand::newProject);
    EXPECT_EQ(harness.panelTitles(), std::vector<QString>{"Save Project"});
    EXPECT_EQ(harness.dialogs().panels().back().suggestedName, "Untitled.vexel");
    EXPECT_EQ(titles(), 1u);
    EXPECT_TRUE(document.isDirty());

    // Save, choosing a folder: saved there, then a new project.
    const std::filesystem::path chosen = harness.app.root / "Chosen.vexel";
    harness.dialogs().answerAlert("Save");
    harness.dialogs().answerPanel({chosen});
    harness.trigger(WindowCommand::newProject);
    EXPECT_EQ(ProjectPersistenceService().load(chosen).textClips().size(), 1u);
    EXPECT_EQ(titles(), 0u);
    EXPECT_FALSE(document.isDirty());

    // Save with a folder: saved there without a panel, then a new project.
    awaitTask(document.loadProject(chosen));
    harness.app.edit(addTitle(4));
    harness.dialogs().answerAlert("Save");
    harness.trigger(WindowCommand::newProject);
    EXPECT_EQ(ProjectPersistenceService().load(chosen).textClips().size(), 2u);
    EXPECT_EQ(harness.dialogs().panels().size(), 2u);
    EXPECT_EQ(titles(), 0u);

    // Don't Save: a new project, nothing written.
    harness.app.edit(addTitle(1));
    harness.dialogs().answerAlert("Don't Save");
    harness.trigger(WindowCommand::newProject);
    EXPECT_EQ(titles(), 0u);
    EXPECT_FALSE(document.isDirty());
    EXPECT_EQ(harness.dialogs().alerts().size(), 5u);
    EXPECT_FALSE(harness.dialogs().hasUnusedAnswers());
}

TEST(MainWindowCommandsTest, OpenAndSavePanelsAskForProjectFolders) {
    CommandsHarness harness;
    MainViewModel& document = harness.document();

    // Don't Save, then no folder picked: the old project stays, unsaved.
    harness.app.edit(addTitle(1));
    harness.dialogs().answerAlert("Don't Save");
    harness.dialogs().answerPanel({});
    harness.trigger(WindowCommand::openProject);
    EXPECT_EQ(harness.panelTitles(), std::vector<QString>{"Open Project"});
    EXPECT_EQ(harness.dialogs().panels().back().kind, FilePanelKind::openFolder);
    EXPECT_EQ(harness.timeline().project().textClips().size(), 1u);
    EXPECT_TRUE(document.isDirty());

    // Save without a folder asks once, however often it is asked.
    harness.dialogs().answerPanel({});
    harness.commands().action(WindowCommand::saveProject).trigger();
    harness.commands().action(WindowCommand::saveProject).trigger();
    harness.trigger(WindowCommand::saveProject);
    EXPECT_EQ(harness.panelTitles(), (std::vector<QString>{"Open Project", "Save Project"}));
    EXPECT_FALSE(document.showSaveDialog());

    // Save As proposes a new name, then the folder's own.
    const std::filesystem::path folder = harness.app.root / "Holiday.vexel";
    harness.dialogs().answerPanel({folder});
    harness.trigger(WindowCommand::saveProjectAs);
    const FilePanelRequest& first = harness.dialogs().panels().back();
    EXPECT_EQ(first.title, "Save Project As");
    EXPECT_EQ(first.suggestedName, "Untitled.vexel");
    EXPECT_FALSE(first.confirmOverwrite);
    EXPECT_EQ(document.currentProjectURL(), folder);
    EXPECT_FALSE(document.isDirty());
    harness.dialogs().answerPanel({});
    harness.trigger(WindowCommand::saveProjectAs);
    EXPECT_EQ(harness.dialogs().panels().back().suggestedName, "Holiday.vexel");
    EXPECT_EQ(harness.dialogs().panels().back().directory, harness.app.root.path());

    // Open: a clean project opens the picked folder without asking.
    harness.trigger(WindowCommand::newProject);
    harness.dialogs().answerPanel({folder});
    harness.trigger(WindowCommand::openProject);
    EXPECT_EQ(document.currentProjectURL(), folder);
    EXPECT_EQ(harness.timeline().project().textClips().size(), 1u);
    EXPECT_EQ(harness.dialogs().alerts().size(), 1u);
}

TEST(MainWindowCommandsTest, AFinishedExportGoesWhereTheUserSays) {
    CommandsHarness harness;
    harness.addMovie("holiday.mp4");
    InstructionViewModel& instructions = harness.graph().instructionViewModel();
    const std::filesystem::path movies = harness.app.root / "Movies";
    std::filesystem::create_directories(movies);
    harness.graph().userDefaults().setValue("exportDirectory",
                                            QString::fromStdString(movies.string()));
    const auto exportAndAnswer = [&](std::vector<std::filesystem::path> answer) {
        const std::size_t messages = harness.chat().size();
        harness.dialogs().answerPanel(std::move(answer));
        harness.commands().action(WindowCommand::exportProject).trigger();
        EXPECT_TRUE(runEventsUntil([&] { return harness.chat().size() > messages; },
                                   std::chrono::seconds(60)));
        settle();
        return harness.chat().back();
    };

    const std::filesystem::path chosen = movies / "Holiday cut.mov";
    const std::string saved = exportAndAnswer({chosen});
    const FilePanelRequest& panel = harness.dialogs().panels().back();
    EXPECT_EQ(panel.title, "Save Exported Video");
    EXPECT_EQ(panel.directory, movies);
    EXPECT_TRUE(panel.suggestedName.endsWith(".mov")) << panel.suggestedName.toStdString();
    EXPECT_TRUE(panel.confirmOverwrite);
    EXPECT_EQ(saved, "Exported video to Holiday cut.mov");
    EXPECT_GT(std::filesystem::file_size(chosen), 0u);
    EXPECT_FALSE(instructions.exportCoordinator().exportSaveRequest());

    const std::string kept = exportAndAnswer({});
    EXPECT_EQ(kept,
              "Exported video to " + harness.dialogs().panels().back().suggestedName.toStdString());
    EXPECT_FALSE(instructions.exportCoordinator().exportSaveRequest());

    // In the tutorial's export step either answer moves the tutorial on.
    TutorialState& tutorial = harness.graph().tutorialState();
    for (const bool save : {true, false}) {
        tutorial.setCurrentStep(TutorialStep::exportVideo);
        exportAndAnswer(save ? std::vector{movies / "Tutorial.mov"}
                             : std::vector<std::filesystem::path>{});
        EXPECT_EQ(tutorial.currentStep(), TutorialStep::exploreHint);
        EXPECT_EQ(instructions.instructionText(), "What else can I do?");
        instructions.setInstructionText("");
    }
    EXPECT_TRUE(std::filesystem::exists(movies / "Tutorial.mov"));
    EXPECT_FALSE(harness.dialogs().hasUnusedAnswers());
}

TEST(MainWindowCommandsTest, TheSettingsRestartTheTutorialOnAFreshProject) {
    CommandsHarness harness;
    harness.trigger(WindowCommand::settings);
    SettingsDialog* settings = harness.commands().settingsDialog();
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->isVisible());
    EXPECT_FALSE(settings->isModal());
    TutorialState& tutorial = harness.graph().tutorialState();

    // Clean: at once.
    QTest::mouseClick(&settings->restartTutorialButton(), Qt::LeftButton);
    awaitTask(harness.commands().lastTask()->finished());
    EXPECT_EQ(tutorial.currentStep(), TutorialStep::welcome);
    EXPECT_TRUE(harness.dialogs().alerts().empty());

    // Dirty: asked first; Cancel keeps the work and the step.
    tutorial.setCurrentStep(std::nullopt);
    harness.app.edit(addTitle(1));
    harness.dialogs().answerAlert("Cancel");
    QTest::mouseClick(&settings->restartTutorialButton(), Qt::LeftButton);
    awaitTask(harness.commands().lastTask()->finished());
    ASSERT_EQ(harness.dialogs().alerts().size(), 1u);
    EXPECT_EQ(harness.dialogs().alerts()[0].message, "Save changes to the current project?");
    EXPECT_FALSE(tutorial.currentStep());
    EXPECT_EQ(harness.timeline().project().textClips().size(), 1u);

    harness.dialogs().answerAlert("Don't Save");
    QTest::mouseClick(&settings->restartTutorialButton(), Qt::LeftButton);
    awaitTask(harness.commands().lastTask()->finished());
    EXPECT_EQ(tutorial.currentStep(), TutorialStep::welcome);
    EXPECT_TRUE(harness.timeline().project().textClips().empty());

    // With an edit under way the new document waits for it to land, and the
    // welcome comes after the new document, which would otherwise end it.
    tutorial.setCurrentStep(std::nullopt);
    std::optional<TurnQueue::Turn> running = awaitTask(harness.timeline().holdEdits());
    QTest::mouseClick(&settings->restartTutorialButton(), Qt::LeftButton);
    settle();
    EXPECT_FALSE(tutorial.currentStep());
    running.reset();
    awaitTask(harness.commands().lastTask()->finished());
    EXPECT_EQ(tutorial.currentStep(), TutorialStep::welcome);

    // The same window comes to the front again.
    harness.trigger(WindowCommand::settings);
    EXPECT_EQ(harness.commands().settingsDialog(), settings);
}

TEST(MainWindowCommandsTest, AboutTellsTheVersionAndBuild) {
    CommandsHarness harness;
    harness.dialogs().answerAlert("OK");
    harness.trigger(WindowCommand::about);
    ASSERT_EQ(harness.dialogs().alerts().size(), 1u);
    const SettingsViewModel& settings = harness.graph().settingsViewModel();
    EXPECT_EQ(
        harness.dialogs().alerts()[0].informativeText,
        QStringLiteral("Version %1\nBuild %2").arg(settings.appVersion(), settings.buildNumber()));
}

TEST(MainWindowCommandsTest, TheUpdateItemFollowsTheFeedsChecks) {
    LoopbackServer feed;
    AppHarness harness;
    harness.variables["VEXEL_UPDATE_FEED_URL"] = feed.baseURL() + "/feed.json";
    harness.launch();
    QAction& item = harness.app->window().commands().action(WindowCommand::checkForUpdates);
    EXPECT_TRUE(item.isEnabled());

    ScriptedResponse held = ScriptedResponse::eventStream(200);
    held.contentType = "application/json";
    held.waitForGate("reply").write(R"({"version": "9.0.0", "url": "https://vexel.example/get"})");
    feed.enqueue(std::move(held));
    harness.dialogs->answerAlert("Download");
    item.trigger();
    ASSERT_TRUE(feed.waitForRequests(1, std::chrono::seconds(5)));
    settle();
    EXPECT_FALSE(item.isEnabled());
    feed.openGate("reply");
    ASSERT_TRUE(runEventsUntil([&] { return !harness.dialogs->openedUrls().empty(); }));
    settle();
    EXPECT_TRUE(item.isEnabled());
    ASSERT_EQ(harness.dialogs->alerts().size(), 1u);
    EXPECT_EQ(harness.dialogs->alerts()[0].message, "Vexel 9.0.0 is available.");
    EXPECT_EQ(harness.dialogs->openedUrls(), std::vector<QUrl>{QUrl("https://vexel.example/get")});

    feed.enqueue(
        ScriptedResponse::plain(200, R"({"version": "0.0.1", "url": "https://x.example"})"));
    feed.enqueue(ScriptedResponse::plain(503));
    for (const char* told : {"Vexel is up to date.", "Could not check for updates."}) {
        const std::size_t asked = harness.dialogs->alerts().size();
        harness.dialogs->answerAlert("OK");
        item.trigger();
        ASSERT_TRUE(runEventsUntil([&] { return harness.dialogs->alerts().size() > asked; }));
        EXPECT_EQ(harness.dialogs->alerts().back().message, told);
    }
}

} // namespace
