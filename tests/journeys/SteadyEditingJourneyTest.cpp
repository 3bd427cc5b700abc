// A person who edits every two or three seconds, never pausing long enough
// for the auto-save's quiet wait, and whose editor is killed at a random
// moment, twice: every edit made 15 s or more before a kill is there when
// the next start recovers the work.
#include "app/screenshots/ScreenGrab.h"
#include "journeys/ChildSession.h"
#include "journeys/Drive.h"
#include "journeys/JourneySteps.h"
#include "journeys/PrivateHome.h"
#include "journeys/SteadyEdits.h"
#include "presentation/support/EventLoop.h"
#include "presentation/views/timeline/AddTextPopover.h"
#include "presentation/views/timeline/TimelineActionBar.h"
#include "presentation/views/timeline/TimelinePanel.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace vexel::journeys {

namespace {

// Adds the text `name` with "Add Text", as a person does; the moment of the
// click on Add.
std::chrono::nanoseconds addText(TimelinePanel& panel, const TimelineViewModel& timeline,
                                 const std::string& name) {
    chooseFromMenu(*panel.actionBar()->addButton(), QStringLiteral("Add Text"));
    AddTextPopover* form = panel.addTextPopover();
    EXPECT_TRUE(waitUntil([&] { return form->isVisible(); })) << "no add-text form opened";
    QTest::keyClicks(form->field(), QString::fromStdString(name));
    const std::chrono::nanoseconds made = sinceBoot();
    QTest::mouseClick(form->addButton(), Qt::LeftButton);
    EXPECT_TRUE(waitUntil([&] {
        const std::vector<std::string> names = textNames(timeline.project());
        return std::find(names.begin(), names.end(), name) != names.end();
    })) << "the text "
        << name << " was not added";
    return made;
}

} // namespace

void steadySession(const std::vector<std::string>& arguments) {
    ASSERT_EQ(arguments.size(), 3u) << "fresh or recover, the session's number, edit or end";
    const bool recover = arguments[0] == "recover";
    const std::string session = arguments[1];
    const bool edits = arguments[2] == "edit";

    std::unique_ptr<AppController> app = startEditor();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
    if (recover) {
        QMessageBox* question = test::waitForQuestion();
        if (question == nullptr) {
            announce(recoveredLine); // nothing to recover
            return;
        }
        QAbstractButton* recoverButton = test::buttonNamed(*question, QStringLiteral("Recover"));
        ASSERT_NE(recoverButton, nullptr);
        QTest::mouseClick(recoverButton, Qt::LeftButton);
    }
    ASSERT_TRUE(waitUntil([&] { return app->startup() && app->startup()->isFinished(); }));
    const TimelineViewModel& timeline = app->editorGraph()->timelineViewModel();
    announce(recoveredLine + joined(textNames(timeline.project())));
    if (!edits) {
        return;
    }
    skipWelcomeIfShown(*app);

    auto* panel = app->window().findChild<TimelinePanel*>();
    ASSERT_NE(panel, nullptr) << "the window shows no timeline";
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> pause(2000, 3000);
    const auto until = std::chrono::steady_clock::now() + 120s;
    for (int n = 1; std::chrono::steady_clock::now() < until; ++n) {
        const std::string name = "S" + session + " edit " + std::to_string(n);
        const std::chrono::nanoseconds made = addText(*panel, timeline, name);
        announce(editLine + name + " at " + std::to_string(made.count()));
        const std::chrono::nanoseconds next = made + std::chrono::milliseconds(pause(random));
        waitUntil([&] { return sinceBoot() >= next; }, 4s);
    }
    ADD_FAILURE() << "the session was not killed";
}

namespace {

// VEXEL_STEADY_KILLS sessions killed in turn (2 unless said), each after 20
// to 40 s of editing, then one more that only recovers.
int killsToMake() {
    const char* value = std::getenv("VEXEL_STEADY_KILLS");
    const int kills = value != nullptr ? std::atoi(value) : 0;
    return kills > 0 ? kills : 2;
}

TEST(SteadyEditingJourney, EveryEditOlderThanFifteenSecondsSurvivesAKill) {
    const JourneyHome home;
    const unsigned seed = std::random_device{}();
    std::printf("steady editing: seed %u\n", seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> editing(20'000, 40'000);

    std::vector<std::string> kept; // what the last start recovered
    std::vector<Edit> edits;       // made by the session killed last
    std::chrono::nanoseconds killedAt{0};
    const int kills = killsToMake();
    for (int session = 1; session <= kills + 1; ++session) {
        const bool last = session == kills + 1;
        ChildSession child(steadySessionStep,
                           {QString::fromLatin1(session == 1 ? "fresh" : "recover"),
                            QString::number(session), QString::fromLatin1(last ? "end" : "edit")},
                           home.environment());
        const std::optional<QString> recovered =
            child.waitForLineStartingWith(QString::fromLatin1(recoveredLine), 120s);
        ASSERT_TRUE(recovered) << "session " << session << " did not start";
        const std::vector<std::string> names = split(*recovered);

        if (session > 1) {
            expectEditsKept(kept, names, edits, killedAt, session - 1);
        }
        kept = names;
        if (last) {
            EXPECT_TRUE(child.succeeds(60s)) << "the last session's checks failed";
            break;
        }

        edits.clear();
        ASSERT_NO_FATAL_FAILURE(
            collectEdits(child, session, std::chrono::milliseconds(editing(random)), edits));
        killedAt = sinceBoot();
        child.kill();
        ASSERT_EQ(child.process().exitStatus(), QProcess::CrashExit);
        collectLastEdits(child, edits);
        std::printf("steady editing: session %d killed after %zu edits\n", session, edits.size());
    }
}

// A clean-up tool empties the instance folder while the user edits, and the
// program is started again meanwhile: the start hands over rather than run
// beside the editor (where it would offer the live work as lost, and its
// Discard would delete the auto-save), and the editor, killed right after,
// loses no edit older than 15 s.
TEST(SteadyEditingJourney, AnInstanceFolderRemovedMidwayLosesNoEditOlderThanFifteenSeconds) {
    const JourneyHome home;
    const unsigned seed = std::random_device{}();
    std::printf("steady editing, instance folder removed: seed %u\n", seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> editing(20'000, 40'000);

    ChildSession first(steadySessionStep,
                       {QStringLiteral("fresh"), QStringLiteral("1"), QStringLiteral("edit")},
                       home.environment());
    ASSERT_TRUE(first.waitForLineStartingWith(QString::fromLatin1(recoveredLine), 120s))
        << "the first session did not start";
    std::vector<Edit> edits;
    ASSERT_NO_FATAL_FAILURE(
        collectEdits(first, 1, std::chrono::milliseconds(editing(random)), edits));

    std::filesystem::remove_all(home / "data" / "com.vexel.app" / "instance");
    {
        ChildSession later(secondStartStep, {}, home.environment());
        EXPECT_TRUE(later.waitForLine(QString::fromLatin1(handedOver), 60s))
            << "the later start ran beside the editor";
        EXPECT_TRUE(later.waitForExit(60s));
    }
    const std::chrono::nanoseconds killedAt = sinceBoot();
    first.kill();
    ASSERT_EQ(first.process().exitStatus(), QProcess::CrashExit);
    collectLastEdits(first, edits);
    std::printf("steady editing, instance folder removed: killed after %zu edits\n", edits.size());

    ChildSession next(steadySessionStep,
                      {QStringLiteral("recover"), QStringLiteral("2"), QStringLiteral("end")},
                      home.environment());
    const std::optional<QString> recovered =
        next.waitForLineStartingWith(QString::fromLatin1(recoveredLine), 120s);
    ASSERT_TRUE(recovered) << "the next session did not start";
    expectEditsKept({}, split(*recovered), edits, killedAt, 1);
    EXPECT_TRUE(next.succeeds(60s)) << "the next session's checks failed";
}

} // namespace

} // namespace vexel::journeys
