#include "app/AppController.h"

#include "app/AppHarness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>

using namespace vexel;
using namespace vexel::test;

namespace {

// The question the application has opened over its window, once it shows.
QMessageBox* waitForQuestion() {
    const QDeadlineTimer deadline(std::chrono::seconds(20));
    while (!deadline.hasExpired()) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box != nullptr && box->isVisible()) {
                EXPECT_TRUE(QTest::qWaitForWindowExposed(box));
                return box;
            }
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ADD_FAILURE() << "no question was opened";
    return nullptr;
}

// The screen where the window is, with the question on top, as the user sees
// it; written into "screenshots/<name>" of the build tree.
void saveScreen(QWidget& window, const QString& name) {
    settle();
    const QRect area = window.frameGeometry();
    const QPixmap picture =
        window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const QDir folder(QStringLiteral(VEXEL_SCREENSHOT_DIR));
    folder.mkpath(QStringLiteral("."));
    EXPECT_TRUE(picture.save(folder.filePath(name))) << name.toStdString();
}

QStringList buttonTexts(const QMessageBox& box) {
    QStringList texts;
    for (const QAbstractButton* button : box.buttons()) {
        texts.push_back(button->text());
    }
    texts.sort();
    return texts;
}

QAbstractButton* buttonNamed(const QMessageBox& box, const QString& text) {
    for (QAbstractButton* button : box.buttons()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

TEST(ShellScreenshotTest, TheRecoveryQuestionOverTheWindow) {
    AppHarness harness;
    harness.launch();
    harness.edit(addTitle(1));
    harness.passDebounce();
    harness.crash();

    harness.scriptDialogs = false;
    AppController& app = harness.make();
    app.start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.window()));
    QMessageBox* box = waitForQuestion();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Recover unsaved changes?"));
    EXPECT_EQ(box->informativeText(),
              QStringLiteral("A previous session was not saved. Would you like to recover your "
                             "work?"));
    EXPECT_EQ(buttonTexts(*box), (QStringList{"Discard", "Recover"}));
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
              buttonNamed(*box, QStringLiteral("Recover")));
    EXPECT_TRUE(app.window().frameGeometry().contains(box->frameGeometry().center()));
    saveScreen(app.window(), QStringLiteral("shell-recovery-question.png"));

    buttonNamed(*box, QStringLiteral("Recover"))->click();
    awaitTask(app.startup()->finished());
    EXPECT_TRUE(harness.graph().mainViewModel().isDirty());
}

TEST(ShellScreenshotTest, TheQuitQuestionOverTheWindow) {
    AppHarness harness;
    harness.scriptDialogs = false;
    AppController& app = harness.make();
    app.start();
    awaitTask(app.startup()->finished());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.window()));
    harness.edit(addTitle(1));

    EXPECT_FALSE(app.window().close());
    QMessageBox* box = waitForQuestion();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Save changes before quitting?"));
    EXPECT_EQ(box->informativeText(),
              QStringLiteral("Your unsaved changes will be lost if you don't save them."));
    EXPECT_EQ(buttonTexts(*box), (QStringList{"Cancel", "Don't Save", "Save"}));
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()),
              buttonNamed(*box, QStringLiteral("Save")));
    saveScreen(app.window(), QStringLiteral("shell-quit-question.png"));

    QTest::keyClick(box, Qt::Key_Escape);
    awaitTask(app.quitController().decision()->finished());
    EXPECT_FALSE(app.quitController().isQuitAllowed());
    EXPECT_TRUE(app.window().isVisible());
}

} // namespace
