#include "app/screenshots/ScreenGrab.h"
#include "journeys/ChildSession.h"
#include "journeys/Drive.h"
#include "journeys/JourneySteps.h"
#include "journeys/PrivateHome.h"
#include "presentation/support/EventLoop.h"
#include "presentation/views/timeline/AddTextPopover.h"
#include "presentation/views/timeline/TimelineActionBar.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "support/media/MovieMaker.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

namespace vexel::journeys {

// A session whose work exists only in its auto-save when the process dies.
void crashSession(const std::vector<std::string>& arguments) {
    ASSERT_EQ(arguments.size(), 2u) << "the clip to drop and the file for the project";
    const std::filesystem::path clip = arguments[0];
    const std::filesystem::path projectFile = arguments[1];

    std::unique_ptr<AppController> app = startEditor();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
    test::awaitTask(app->startup()->finished());
    skipWelcomeIfShown(*app);
    auto* panel = app->window().findChild<TimelinePanel*>();
    ASSERT_NE(panel, nullptr) << "the window shows no timeline";
    TimelineViewModel& timeline = app->editorGraph()->timelineViewModel();

    dropFiles(*panel, {fileUrl(clip)});
    ASSERT_TRUE(waitUntil([&] {
        return timeline.importingCount() == 0 && timeline.project().videoClips().size() == 1;
    })) << "the dropped clip did not arrive";

    chooseFromMenu(*panel->actionBar()->addButton(), QStringLiteral("Add Text"));
    AddTextPopover* form = panel->addTextPopover();
    ASSERT_TRUE(waitUntil([&] { return form->isVisible(); })) << "no add-text form opened";
    QTest::keyClicks(form->field(), QStringLiteral("Before the crash"));
    QTest::mouseClick(form->addButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return timeline.project().textClips().size() == 1; }))
        << "the text was not added";
    EXPECT_EQ(timeline.project().textClips().front().assetName, "Before the crash");

    const Project last = timeline.project();
    writeProject(last, projectFile);
    ASSERT_TRUE(waitForAutoSave(last)) << "the auto-save never held the last edit";

    announce(readyToBeKilled);
    waitUntil([] { return false; }, 60s);
    ADD_FAILURE() << "the session was not killed";
}

// The next start of the editor, over the work the killed session left.
void recoverSession(const std::vector<std::string>& arguments) {
    ASSERT_EQ(arguments.size(), 1u) << "the file of the killed session's project";
    const Project crashed = readProject(arguments[0]);

    std::unique_ptr<AppController> app = startEditor();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
    QMessageBox* question = test::waitForQuestion();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), QStringLiteral("Recover unsaved changes?"));
    EXPECT_EQ(question->informativeText(),
              QStringLiteral("A previous session was not saved. Would you like to recover your "
                             "work?"));
    test::saveScreen(app->window(), QStringLiteral("journey-crash-recovery-alert.png"));

    QAbstractButton* recover = test::buttonNamed(*question, QStringLiteral("Recover"));
    ASSERT_NE(recover, nullptr);
    QTest::mouseClick(recover, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return app->startup()->isFinished(); }));

    EXPECT_EQ(shownProject(*app), crashed.ensuringDefaultAudioTracks());
    MainViewModel& document = app->editorGraph()->mainViewModel();
    EXPECT_TRUE(document.isDirty());
    EXPECT_FALSE(document.currentProjectURL());
    waitForPreview(*app);
    test::saveScreen(app->window(), QStringLiteral("journey-crash-recovered.png"));
}

namespace {

TEST(CrashRecoveryJourney, TheWorkOfAKilledSessionIsRecoveredUnsaved) {
    const JourneyHome home;
    const std::filesystem::path clip = home / "crash clip.mp4";
    vexel::testing::writeTestMovie(clip, {.width = 640, .height = 360, .frameCount = 90});
    const std::filesystem::path projectFile = home / "crashed-project.json";

    ChildSession crashed(crashSessionStep, {argument(clip), argument(projectFile)},
                         home.environment());
    ASSERT_TRUE(crashed.waitForLine(QString::fromLatin1(readyToBeKilled), 120s))
        << "the session ended or hung before its work was auto-saved";
    crashed.kill();
    EXPECT_EQ(crashed.process().exitStatus(), QProcess::CrashExit);

    ChildSession recovered(recoverSessionStep, {argument(projectFile)}, home.environment());
    EXPECT_TRUE(recovered.succeeds(120s)) << "the recovering session's checks failed";
}

} // namespace

} // namespace vexel::journeys
