// A person who edits every two or three seconds, never pausing long enough
// for the auto-save's quiet wait, and whose editor is killed at a random
// moment, twice: every edit made 15 s or more before a kill is there when
// the next start recovers the work.
#include "app/screenshots/ScreenGrab.h"
#include "journeys/ChildSession.h"
#include "journeys/Drive.h"
#include "journeys/JourneySteps.h"
#include "journeys/PrivateHome.h"
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
#include <random>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace vexel::journeys {

namespace {

constexpr const char* editLine = "journey: edit ";
constexpr const char* recoveredLine = "journey: recovered ";
constexpr auto recoveredWithin = 15s;

// The monotonic clock, which the journey and its sessions share.
std::chrono::nanoseconds sinceBoot() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

// The texts of the project in the order of the timeline.
std::vector<std::string> textNames(const Project& project) {
    std::vector<Clip> texts = project.textClips();
    std::stable_sort(texts.begin(), texts.end(), [](const Clip& a, const Clip& b) {
        return a.timeRange.startTime < b.timeRange.startTime;
    });
    std::vector<std::string> names;
    for (const Clip& text : texts) {
        names.push_back(text.assetName);
    }
    return names;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : "|") + name;
    }
    return text;
}

std::vector<std::string> split(const QString& text) {
    std::vector<std::string> names;
    for (const QString& name : text.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        names.push_back(name.toStdString());
    }
    return names;
}

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

// An edit as a session announces it: "<name> at <nanoseconds>".
struct Edit {
    std::string name;
    std::chrono::nanoseconds made;

    static Edit from(const QString& line) {
        const qsizetype at = line.lastIndexOf(QStringLiteral(" at "));
        return {line.left(at).toStdString(),
                std::chrono::nanoseconds(line.mid(at + 4).toLongLong())};
    }
};

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

        // What the last start recovered, then the killed session's edits in
        // order, up to one no younger than 15 s at the kill, or further.
        if (session > 1) {
            ASSERT_GE(names.size(), kept.size());
            EXPECT_TRUE(std::equal(kept.begin(), kept.end(), names.begin()))
                << "recovered work went missing";
            const std::vector<std::string> added(names.begin() + long(kept.size()), names.end());
            ASSERT_LE(added.size(), edits.size());
            std::size_t due = 0;
            for (std::size_t n = 0; n < edits.size(); ++n) {
                if (n < added.size()) {
                    EXPECT_EQ(added[n], edits[n].name);
                }
                if (killedAt - edits[n].made >= recoveredWithin) {
                    due = n + 1;
                }
            }
            EXPECT_GE(added.size(), due)
                << "session " << session - 1 << " was killed "
                << std::chrono::duration<double>(killedAt - edits[due - 1].made).count()
                << " s after \"" << edits[due - 1].name << "\", which is lost";
        }
        kept = names;
        if (last) {
            EXPECT_TRUE(child.succeeds(60s)) << "the last session's checks failed";
            break;
        }

        edits.clear();
        std::optional<std::chrono::steady_clock::time_point> killAt;
        while (!killAt || std::chrono::steady_clock::now() < *killAt) {
            const auto left = killAt ? std::chrono::duration_cast<std::chrono::milliseconds>(
                                           *killAt - std::chrono::steady_clock::now())
                                     : std::chrono::milliseconds(60s);
            const std::optional<QString> line =
                child.waitForLineStartingWith(QString::fromLatin1(editLine), left);
            if (!line) {
                ASSERT_TRUE(killAt) << "session " << session << " made no edit";
                ASSERT_EQ(child.process().state(), QProcess::Running)
                    << "session " << session << " ended before it was killed";
                continue;
            }
            edits.push_back(Edit::from(*line));
            if (!killAt) {
                killAt =
                    std::chrono::steady_clock::now() + std::chrono::milliseconds(editing(random));
            }
        }
        killedAt = sinceBoot();
        child.kill();
        ASSERT_EQ(child.process().exitStatus(), QProcess::CrashExit);
        // Edits announced just before the kill may still be recovered.
        while (const std::optional<QString> line =
                   child.waitForLineStartingWith(QString::fromLatin1(editLine), 0ms)) {
            edits.push_back(Edit::from(*line));
        }
        std::printf("steady editing: session %d killed after %zu edits\n", session, edits.size());
    }
}

} // namespace

} // namespace vexel::journeys
