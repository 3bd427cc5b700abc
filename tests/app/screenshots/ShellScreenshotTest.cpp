#include "app/AppController.h"

#include "app/AppHarness.h"
#include "app/screenshots/ScreenGrab.h"

#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::test;

namespace {

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
