#include "presentation/views/shell/CommandPaletteDialog.h"

#include "app/AppHarness.h"
#include "presentation/helpers/PaletteCommandBuilder.h"
#include "presentation/views/kit/PlainText.h"
#include "presentation/views/shell/MainWindowCommands.h"
#include "presentation/views/shell/PaletteList.h"
#include "support/LoopbackServer.h"
#include "support/media/MovieMaker.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexel;
using namespace vexel::test;

namespace {

// The application over an assistant on the loopback server, with a project
// of two movies (one of them "Tom & Jerry") and a title.
struct PaletteHarness {
    PaletteHarness() {
        app.variables["VEXEL_BACKEND_URL"] = backend.baseURL();
        app.launch();
        for (const char* name : {"Tom & Jerry.mp4", "beach.mp4"}) {
            const std::filesystem::path file = app.root / name;
            vexel::testing::TestMovie movie;
            movie.frameCount = 15;
            vexel::testing::writeTestMovie(file, movie);
            const double start = timeline().project().videoClips().size() * 1.0;
            awaitTask(timeline().addClip(file, TrackType::video, start, name));
        }
        app.edit(addTitle(0));
        activate(window());
    }

    MainWindow& window() { return app.app->window(); }
    TimelineViewModel& timeline() { return app.graph().timelineViewModel(); }
    InstructionViewModel& instructions() { return app.graph().instructionViewModel(); }

    static void activate(QWidget& widget) {
        widget.activateWindow();
        QApplication::setActiveWindow(&widget);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&widget));
    }

    // Ctrl+K over the window; the palette it opened.
    CommandPaletteDialog* open() {
        activate(window());
        QTest::keyClick(&window(), Qt::Key_K, Qt::ControlModifier);
        settle();
        CommandPaletteDialog* palette = window().commands().palette();
        if (palette != nullptr) {
            EXPECT_TRUE(palette->isVisible());
            EXPECT_TRUE(palette->isModal());
            activate(*palette);
        }
        return palette;
    }

    QStringList builderEntries() {
        QStringList entries;
        for (const std::string& entry :
             PaletteCommandBuilder::buildCommands(timeline().project())) {
            entries.push_back(QString::fromStdString(entry));
        }
        return entries;
    }

    LoopbackServer backend;
    AppHarness app;
};

TEST(CommandPaletteDialogTest, ListsTheProjectsInstructionsAndFiltersThemAsTyped) {
    PaletteHarness harness;
    CommandPaletteDialog* palette = harness.open();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->size(), QSize(400, 300));
    EXPECT_EQ(palette->searchField().placeholderText(), "Search commands...");
    const QStringList all = harness.builderEntries();
    EXPECT_EQ(palette->list().shownEntries(), all);

    // The rows in sight, first to last, show the entries as written.
    const std::vector<QPushButton*> rows = palette->list().visibleButtons();
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(rows[0]->text(), escapeMnemonic(all[0]));
    EXPECT_EQ(all[0], "Move Tom & Jerry.mp4 to timestamp");
    EXPECT_TRUE(QKeySequence::mnemonic(rows[0]->text()).isEmpty());
    for (const QPushButton* row : rows) {
        EXPECT_EQ(row->focusPolicy(), Qt::NoFocus);
        EXPECT_FALSE(row->isDefault());
        EXPECT_FALSE(row->autoDefault());
    }

    QTest::keyClicks(&palette->searchField(), "TRIM");
    QStringList trims;
    for (const QString& entry : all) {
        if (entry.contains("Trim") || entry.contains("trim")) {
            trims.push_back(entry);
        }
    }
    EXPECT_EQ(trims, (QStringList{"Trim Tom & Jerry.mp4", "Trim beach.mp4"}));
    EXPECT_EQ(palette->list().shownEntries(), trims);
    palette->searchField().clear();
    QTest::keyClicks(&palette->searchField(), "zzz");
    EXPECT_TRUE(palette->list().shownEntries().isEmpty());
    EXPECT_TRUE(palette->list().visibleButtons().empty());

    // Return and the arrows choose nothing; Escape closes without a choice.
    palette->searchField().clear();
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&palette->searchField(), key);
    }
    settle();
    EXPECT_TRUE(palette->isVisible());
    EXPECT_EQ(harness.instructions().instructionText(), "");
    QTest::keyClick(&palette->searchField(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(harness.window().commands().palette(), nullptr);

    // Its own key closes it too.
    palette = harness.open();
    ASSERT_NE(palette, nullptr);
    QTest::keyClick(&palette->searchField(), Qt::Key_K, Qt::ControlModifier);
    settle();
    EXPECT_EQ(harness.window().commands().palette(), nullptr);
    EXPECT_EQ(harness.instructions().instructionText(), "");
}

TEST(CommandPaletteDialogTest, AChoiceFillsTheChatBarAndSendsNothing) {
    PaletteHarness harness;
    CommandPaletteDialog* palette = harness.open();
    ASSERT_NE(palette, nullptr);
    QTest::keyClicks(&palette->searchField(), "fade in tom");
    const std::vector<QPushButton*> rows = palette->list().visibleButtons();
    ASSERT_EQ(rows.size(), 1u);
    QTest::mouseClick(rows[0], Qt::LeftButton);
    settle();
    EXPECT_EQ(harness.instructions().instructionText(), "Fade in Tom & Jerry.mp4");
    EXPECT_EQ(harness.window().commands().palette(), nullptr);
    EXPECT_TRUE(harness.instructions().chatHistory().messages().empty());
    EXPECT_FALSE(harness.instructions().currentTask());
    EXPECT_EQ(harness.backend.requestCount(), 0u);
}

TEST(CommandPaletteDialogTest, ScrollsThroughAThousandEntriesWithAFewButtons) {
    PaletteHarness harness;
    std::vector<std::string> commands;
    for (int index = 0; index < 1000; ++index) {
        commands.push_back("Entry " + std::to_string(index));
    }
    std::string chosen;
    CommandPaletteDialog palette(
        commands, [&](const std::string& text) { chosen = text; }, &harness.window());
    palette.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette));
    PaletteList& list = palette.list();
    EXPECT_LT(list.visibleButtons().size(), 20u);
    list.verticalScrollBar()->setValue(list.rowHeight() * 500);
    settle();
    const std::vector<QPushButton*> rows = list.visibleButtons();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0]->text(), "Entry 500");
    QTest::mouseClick(rows[1], Qt::LeftButton);
    EXPECT_EQ(chosen, "Entry 501");
    // A new search starts at the top.
    QTest::keyClicks(&palette.searchField(), "99");
    EXPECT_EQ(list.shownCount(), 19);
    EXPECT_EQ(list.visibleButtons().front()->text(), "Entry 99");
}

} // namespace
