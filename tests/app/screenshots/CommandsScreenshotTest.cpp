#include "presentation/views/shell/MainWindowCommands.h"

#include "app/AppHarness.h"
#include "app/screenshots/ScreenGrab.h"

#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::test;

namespace {

// The application with its own message boxes, its window on screen.
struct ShownApp {
    ShownApp() {
        harness.scriptDialogs = false;
        AppController& app = harness.make();
        app.start();
        awaitTask(app.startup()->finished());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&app.window()));
    }

    MainWindow& window() { return harness.app->window(); }

    AppHarness harness;
};

TEST(CommandsScreenshotTest, TheFileAndToolsMenusOpenFromTheMenuBar) {
    ShownApp shown;
    QMenuBar& bar = *shown.window().menuBar();
    for (const auto& [index, name] : {std::pair{0, QStringLiteral("menu-file.png")},
                                      std::pair{2, QStringLiteral("menu-tools.png")}}) {
        QAction* title = bar.actions().at(index);
        bar.setActiveAction(title);
        QMenu& menu = *title->menu();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
        // The menu drops from its title, over the window.
        EXPECT_EQ(menu.geometry().top(),
                  bar.mapToGlobal(bar.actionGeometry(title).bottomLeft()).y() + 1);
        saveScreen(shown.window(), name);
        menu.close();
        settle();
    }
}

TEST(CommandsScreenshotTest, NewProjectAsksBeforeUnsavedWorkIsLost) {
    ShownApp shown;
    shown.harness.edit(addTitle(1));
    shown.window().commands().action(WindowCommand::newProject).trigger();
    QMessageBox* box = waitForQuestion();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Save changes to the current project?"));
    EXPECT_EQ(buttonTexts(*box), (QStringList{"Cancel", "Don't Save", "Save"}));
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
              buttonNamed(*box, QStringLiteral("Save")));
    saveScreen(shown.window(), QStringLiteral("dialog-save-changes.png"));

    QTest::keyClick(box, Qt::Key_Escape);
    awaitTask(shown.window().commands().lastTask()->finished());
    EXPECT_EQ(shown.harness.graph().timelineViewModel().project().textClips().size(), 1u);
    EXPECT_TRUE(shown.harness.graph().mainViewModel().isDirty());
}

} // namespace
