#include "presentation/views/shell/MainWindowCommands.h"

#include "app/AppHarness.h"
#include "app/screenshots/ScreenGrab.h"
#include "presentation/support/Screenshot.h"
#include "presentation/views/shell/CommandPaletteDialog.h"
#include "presentation/views/shell/PaletteList.h"
#include "presentation/views/shell/SettingsDialog.h"
#include "support/media/MovieMaker.h"

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::test;

namespace {

// The application with its own message boxes, its window on screen.
struct ShownApp {
    // `site`: the product's web site, for the settings' links.
    explicit ShownApp(std::optional<std::string> site = std::nullopt) {
        if (site) {
            harness.variables["VEXEL_SITE_URL"] = *site;
        }
        harness.scriptDialogs = false;
        // Not a first run: no tutorial over the window.
        harness.environment().openUserDefaults()->setValue("hasCompletedOnboarding", true);
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

TEST(CommandsScreenshotTest, SavingOverAProjectAsksToReplaceIt) {
    ShownApp shown;
    const std::filesystem::path folder = shown.harness.root / "Holiday.vexel";
    shown.harness.edit(addTitle(1));
    awaitTask(shown.harness.graph().mainViewModel().saveTo(folder));
    shown.window().commands().action(WindowCommand::saveProjectAs).trigger();
    QFileDialog* panel = waitForFilePanel(QStringLiteral("Save Project As"));
    ASSERT_NE(panel, nullptr);
    auto* name = panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QStringLiteral("Holiday.vexel"));
    QTest::keyClick(name, Qt::Key_Return);
    QMessageBox* box = waitForQuestion();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(
        box->text(),
        QStringLiteral("\u201cHoliday.vexel\u201d already exists. Do you want to replace it?"));
    EXPECT_EQ(buttonTexts(*box), (QStringList{"Cancel", "Replace"}));
    EXPECT_TRUE(shown.window().frameGeometry().contains(box->frameGeometry().center()));
    saveScreen(shown.window(), QStringLiteral("dialog-replace-project.png"));

    QTest::keyClick(box, Qt::Key_Escape);
    awaitTask(shown.window().commands().lastTask()->finished());
    EXPECT_FALSE(shown.harness.graph().mainViewModel().isDirty());
}

TEST(CommandsScreenshotTest, ThePaletteFilteredOverTheWindow) {
    ShownApp shown;
    for (const char* name : {"Tom & Jerry.mp4", "beach.mp4"}) {
        const std::filesystem::path file = shown.harness.root / name;
        vexel::testing::TestMovie movie;
        movie.frameCount = 15;
        vexel::testing::writeTestMovie(file, movie);
        TimelineViewModel& timeline = shown.harness.graph().timelineViewModel();
        const double start = double(timeline.project().videoClips().size());
        awaitTask(timeline.addClip(file, TrackType::video, start, name));
    }
    shown.harness.edit(addTitle(0));
    shown.window().commands().action(WindowCommand::toggleCommandPalette).trigger();
    CommandPaletteDialog* palette = shown.window().commands().palette();
    ASSERT_NE(palette, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(palette));
    QTest::keyClicks(&palette->searchField(), "tom");
    EXPECT_EQ(palette->list().shownCount(), 14);
    // Over the window, in its middle.
    EXPECT_TRUE(shown.window().frameGeometry().contains(palette->frameGeometry().center()));
    saveScreen(shown.window(), QStringLiteral("palette-filtered.png"));
    QTest::keyClick(&palette->searchField(), Qt::Key_Escape);
}

TEST(CommandsScreenshotTest, TheSettingsWindow) {
    ShownApp shown("https://vexel.example");
    shown.window().commands().action(WindowCommand::settings).trigger();
    SettingsDialog* settings = shown.window().commands().settingsDialog();
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(settings));
    EXPECT_GE(settings->width(), 450);
    EXPECT_GE(settings->height(), 350);
    saveScreenshot(*settings, QStringLiteral("settings.png"));
}

} // namespace
