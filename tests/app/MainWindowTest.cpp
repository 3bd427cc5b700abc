// The editor's window as the application makes it, over the real graph.

#include "presentation/views/shell/MainWindow.h"

#include "app/AppHarness.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/shell/MainView.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::test;

TEST(MainWindowTest, AFirstRunWelcomesAndGetStartedLoadsTheSampleAndFocusesItsInstruction) {
    AppHarness harness;
    harness.resources = ResourceBundle::main();
    AppController& app = harness.launch();
    MainWindow& window = app.window();
    ASSERT_NE(window.mainView(), nullptr);
    EXPECT_EQ(window.centralWidget(), window.mainView());
    EXPECT_EQ(window.size(), QSize(1200, 800));
    EXPECT_EQ(window.mainView()->paneLayout().timeline.top(), 494);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    EXPECT_EQ(harness.graph().tutorialState().currentStep(), TutorialStep::welcome);
    TutorialHooks& hooks = window.mainView()->tutorialHooks();
    hooks.setupAndAdvance();
    ASSERT_TRUE(hooks.setupTask());
    awaitTask(hooks.setupTask()->finished());
    settle();

    EXPECT_EQ(harness.graph().tutorialState().currentStep(), TutorialStep::splitChat);
    QLineEdit* input = window.mainView()->chatColumn().inputField();
    EXPECT_EQ(input->text(), QStringLiteral("Split the clip at 3 seconds"));
    EXPECT_TRUE(input->hasFocus());
    EXPECT_EQ(harness.graph().timelineViewModel().project().videoClips().size(), 1u);
    EXPECT_TRUE(harness.errors().empty());

    // Skipping ends it for good: the next launch does not offer it.
    hooks.skip();
    EXPECT_EQ(harness.graph().tutorialState().currentStep(), std::nullopt);
    harness.crash();
    harness.launch();
    EXPECT_EQ(harness.graph().tutorialState().currentStep(), std::nullopt);
}
