// One editor per user, with real processes: a later start of the program
// hands the folder it was given to the editor that runs and ends; it never
// runs beside it, where its start-up would tidy away the running editor's
// imported media or offer its live work as lost. A killed editor's lock
// blocks no start, and a start whose editor is killed while it hands over
// becomes the editor itself and recovers the killed one's work.
#include "app/screenshots/ScreenGrab.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "domain/entities/EditCommand.h"
#include "foundation/StreamLogger.h"
#include "journeys/ChildSession.h"
#include "journeys/Drive.h"
#include "journeys/JourneySteps.h"
#include "journeys/PrivateHome.h"
#include "journeys/SteadyEdits.h"
#include "presentation/support/EventLoop.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "support/media/MovieMaker.h"

#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace std::chrono_literals;

namespace vexel::journeys {

namespace {

constexpr const char* readyForFolder = "journey: ready for a folder";
constexpr const char* readyForAnotherFolder = "journey: ready for another folder";
constexpr const char* editorRunning = "journey: the editor runs";
constexpr const char* mediaStaged = "journey: media staged";
constexpr const char* workAutoSaved = "journey: work auto-saved";
constexpr const char* handedOver = "journey: handed over";
constexpr const char* secondEditor = "journey: a second editor started";
constexpr const char* waitingForAnswer = "journey: waiting for the running editor";

// The debug line a start writes once its folder has gone out to the running
// editor and it waits for the answer.
constexpr std::string_view waitingLogLine = "[App] Waiting for the running editor to answer";

// Logs as main() does, and announces when the start waits for the running
// editor's answer, the moment a journey kills that editor.
class AnnouncingLogger final : public Logger {
public:
    void log(LogLevel level, std::string_view message) override { inner_.log(level, message); }
    void logPublic(LogLevel level, std::string_view message) override {
        if (message == waitingLogLine) {
            announce(waitingForAnswer);
        }
        inner_.logPublic(level, message);
    }

private:
    StreamLogger inner_{stderr};
};

// The visible question of the application, if one shows.
QMessageBox* shownQuestion() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

void click(QMessageBox& question, const QString& button) {
    QAbstractButton* found = test::buttonNamed(question, button);
    ASSERT_NE(found, nullptr) << "no button " << button.toStdString();
    QTest::mouseClick(found, Qt::LeftButton);
}

// Waits until the running editor shows the project of `folder`, opened there
// and unchanged.
void expectOpened(const AppController& app, const std::filesystem::path& folder) {
    const MainViewModel& document = app.editorGraph()->mainViewModel();
    ASSERT_TRUE(waitUntil([&] { return document.currentProjectURL() == folder; }, 60s))
        << "the folder handed over did not open: " << folder;
    EXPECT_EQ(shownProject(app), ProjectPersistenceService().load(folder));
    EXPECT_FALSE(document.isDirty());
}

} // namespace

void receivingSession(const std::vector<std::string>& arguments) {
    ASSERT_EQ(arguments.size(), 2u) << "the two folders handed over";
    const std::filesystem::path first = arguments[0];
    const std::filesystem::path second = arguments[1];

    std::unique_ptr<AppController> app;
    ASSERT_NO_FATAL_FAILURE(startPastWelcome(app));
    // The user works in another window meanwhile.
    QWidget elsewhere;
    elsewhere.setWindowTitle(QStringLiteral("Elsewhere"));
    elsewhere.resize(400, 300);
    elsewhere.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&elsewhere));
    activate(elsewhere);
    ASSERT_FALSE(app->window().isActiveWindow());

    announce(readyForFolder);
    ASSERT_NO_FATAL_FAILURE(expectOpened(*app, first));
    EXPECT_TRUE(waitUntil([&] { return app->window().isActiveWindow(); }))
        << "the editor did not come to the front";
    test::saveScreen(app->window(), QStringLiteral("journey-handed-folder-opened.png"));

    // Unsaved work: the next folder is opened only once the user has said.
    EditCommand::AddText title;
    title.text = "Unsaved";
    title.at = 1;
    title.duration = 2;
    test::awaitTask(app->editorGraph()->timelineViewModel().executeCommand(title));
    ASSERT_TRUE(app->editorGraph()->mainViewModel().isDirty());
    activate(elsewhere);
    announce(readyForAnotherFolder);
    QMessageBox* question = test::waitForQuestion();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), QStringLiteral("Save changes to the current project?"));
    EXPECT_EQ(app->editorGraph()->mainViewModel().currentProjectURL(), first);
    test::saveScreen(app->window(), QStringLiteral("journey-handed-folder-question.png"));
    ASSERT_NO_FATAL_FAILURE(click(*question, QStringLiteral("Don't Save")));
    ASSERT_NO_FATAL_FAILURE(expectOpened(*app, second));
}

void holdingSession(const std::vector<std::string>&) {
    std::unique_ptr<AppController> app = startEditor();
    ASSERT_NE(app, nullptr) << "another editor ran";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
    test::awaitTask(app->startup()->finished());
    announce(editorRunning);
    waitUntil([] { return false; }, 120s);
    ADD_FAILURE() << "the session was not killed";
}

void stagingSession(const std::vector<std::string>& arguments) {
    ASSERT_EQ(arguments.size(), 3u) << "the clip, the file for the project, the go-ahead file";
    const std::filesystem::path clip = arguments[0];
    const std::filesystem::path projectFile = arguments[1];
    const std::filesystem::path goAhead = arguments[2];

    std::unique_ptr<AppController> app = startEditor();
    ASSERT_NE(app, nullptr) << "another editor ran";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
    test::awaitTask(app->startup()->finished());
    auto* panel = app->window().findChild<TimelinePanel*>();
    ASSERT_NE(panel, nullptr) << "the window shows no timeline";
    const TimelineViewModel& timeline = app->editorGraph()->timelineViewModel();
    dropFiles(*panel, {fileUrl(clip)});
    ASSERT_TRUE(waitUntil([&] {
        return timeline.importingCount() == 0 && timeline.project().videoClips().size() == 1;
    })) << "the dropped clip did not arrive";
    writeProject(timeline.project(), projectFile);
    announce(mediaStaged);

    ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(goAhead); }, 120s));
    const Project last = timeline.project();
    ASSERT_TRUE(waitForAutoSave(last)) << "the auto-save never held the work";
    writeProject(last, projectFile);
    announce(workAutoSaved);
    waitUntil([] { return false; }, 120s);
    ADD_FAILURE() << "the session was not killed";
}

void secondStart(const std::vector<std::string>&) {
    std::unique_ptr<AppController> app = startEditor();
    if (!app) {
        announce(handedOver);
        return;
    }
    ADD_FAILURE() << "a second editor started beside the running one";
    announce(secondEditor);
    // What its user would then do: decline the running editor's work, offered
    // as a session that was lost.
    ASSERT_TRUE(waitUntil([&] { return shownQuestion() || app->startup()->isFinished(); }));
    if (QMessageBox* question = shownQuestion()) {
        ASSERT_NO_FATAL_FAILURE(click(*question, QStringLiteral("Discard")));
    }
    waitUntil([&] { return app->startup()->isFinished(); });
}

void takingOverSession(const std::vector<std::string>& arguments) {
    ASSERT_EQ(arguments.size(), 1u) << "the folder to hand over";
    std::unique_ptr<AppController> app =
        startEditor(std::filesystem::path(arguments[0]), std::make_shared<AnnouncingLogger>());
    ASSERT_NE(app, nullptr) << "the folder went to an editor that was killed";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
    QMessageBox* question = test::waitForQuestion();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), QStringLiteral("Recover unsaved changes?"));
    ASSERT_NO_FATAL_FAILURE(click(*question, QStringLiteral("Recover")));
    ASSERT_TRUE(waitUntil([&] { return app->startup()->isFinished(); }));
    announce(recoveredLine + joined(textNames(shownProject(*app))));
}

namespace {

// Starts the program as a user does, over the journey's folders, from
// `workingFolder`, and waits for it to end; its exit code, or none when it
// crashed or still ran after 30 s (it is killed then).
std::optional<int> runProgram(const JourneyHome& home, const QStringList& arguments,
                              const std::filesystem::path& workingFolder) {
    QProcess program;
    program.setProgram(QStringLiteral(VEXEL_PROGRAM));
    program.setArguments(arguments);
    program.setProcessEnvironment(home.environment());
    program.setWorkingDirectory(argument(workingFolder));
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start();
    if (!program.waitForFinished(30'000)) {
        program.kill();
        program.waitForFinished();
        return std::nullopt;
    }
    if (program.exitStatus() != QProcess::NormalExit) {
        return std::nullopt;
    }
    return program.exitCode();
}

// A project folder whose project has one track named `track`.
void saveProjectFolder(const std::filesystem::path& folder, const std::string& track) {
    Project project = Project::makeNew();
    project.tracks.push_back(Track{Uuid::random(), TrackType::audio, track, {}, false});
    ProjectPersistenceService().save(project, folder);
}

std::filesystem::path instanceFolder(const JourneyHome& home) {
    return home / "data" / "com.vexel.app" / "instance";
}

TEST(HandOverJourney, AFolderGivenToASecondStartOpensInTheRunningEditor) {
    const JourneyHome home;
    const std::filesystem::path projects = home / "projects";
    const std::filesystem::path first = projects / "Film A";
    const std::filesystem::path second = projects / "Film B \xe2\x80\x93 \xc3\xa9t\xc3\xa9";
    saveProjectFolder(first, "Music A");
    saveProjectFolder(second, "Music B");

    ChildSession running(receivingSessionStep, {argument(first), argument(second)},
                         home.environment());
    ASSERT_TRUE(running.waitForLine(QString::fromLatin1(readyForFolder), 120s));
    // Started in the projects folder with the folder's bare name, as from a
    // terminal: the editor, elsewhere, gets the whole path.
    EXPECT_EQ(runProgram(home, {QStringLiteral("Film A")}, projects), 0)
        << "the second start did not hand its folder over and end";
    ASSERT_TRUE(running.waitForLine(QString::fromLatin1(readyForAnotherFolder), 60s));
    EXPECT_EQ(runProgram(home, {argument(second)}, home.path()), 0);
    EXPECT_TRUE(running.succeeds(60s)) << "the running editor's checks failed";
}

TEST(HandOverJourney, AKilledEditorBlocksNoStartAndOfStartsAtOnceOneRuns) {
    const JourneyHome home;
    {
        ChildSession killed(holdingSessionStep, {}, home.environment());
        ASSERT_TRUE(killed.waitForLine(QString::fromLatin1(editorRunning), 120s));
        killed.kill();
        ASSERT_EQ(killed.process().exitStatus(), QProcess::CrashExit);
    }
    // Its lock and socket file stay behind.
    ASSERT_TRUE(std::filesystem::is_socket(instanceFolder(home) / "editor.socket"));

    std::vector<std::unique_ptr<QProcess>> starts;
    for (int n = 0; n < 3; ++n) {
        auto start = std::make_unique<QProcess>();
        start->setProgram(QStringLiteral(VEXEL_PROGRAM));
        start->setProcessEnvironment(home.environment());
        start->setProcessChannelMode(QProcess::ForwardedChannels);
        starts.push_back(std::move(start));
    }
    for (const std::unique_ptr<QProcess>& start : starts) {
        start->start();
    }
    const auto ended = [&] {
        return std::count_if(starts.begin(), starts.end(), [](const auto& start) {
            return start->state() == QProcess::NotRunning;
        });
    };
    EXPECT_TRUE(waitUntil([&] { return ended() >= 2; }, 60s))
        << "the starts after the killed editor did not hand over to one of them";
    QProcess* editor = nullptr;
    for (const std::unique_ptr<QProcess>& start : starts) {
        if (start->state() != QProcess::NotRunning) {
            editor = start.get();
        } else {
            EXPECT_EQ(start->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(start->exitCode(), 0);
        }
    }
    ASSERT_NE(editor, nullptr) << "no start became the editor";
    // The one left runs as the editor: a later start hands over to it.
    EXPECT_EQ(runProgram(home, {}, home.path()), 0);
    EXPECT_EQ(editor->state(), QProcess::Running);
    for (const std::unique_ptr<QProcess>& start : starts) {
        start->kill();
        start->waitForFinished();
    }
}

TEST(HandOverJourney, ASecondStartLeavesTheRunningEditorsMediaAndAutoSave) {
    const JourneyHome home;
    const std::filesystem::path clip = home / "imported clip.mp4";
    vexel::testing::writeTestMovie(clip, {.width = 320, .height = 180, .frameCount = 60});
    const std::filesystem::path projectFile = home / "running-project.json";
    const std::filesystem::path goAhead = home / "go-ahead";

    ChildSession running(stagingSessionStep,
                         {argument(clip), argument(projectFile), argument(goAhead)},
                         home.environment());
    ASSERT_TRUE(running.waitForLine(QString::fromLatin1(mediaStaged), 120s));
    const std::optional<std::filesystem::path> staged =
        readProject(projectFile).videoClips().front().assetURL;
    ASSERT_TRUE(staged && std::filesystem::exists(*staged));

    // Before and after the running editor auto-saved its work.
    const std::filesystem::path autoSave =
        home / "data" / "com.vexel.app" / "autosave" / "project.json";
    for (const bool autoSaved : {false, true}) {
        ChildSession later(secondStartStep, {}, home.environment());
        EXPECT_TRUE(later.waitForLine(QString::fromLatin1(handedOver), 60s))
            << "the later start did not hand over" << (autoSaved ? " (auto-saved)" : "");
        EXPECT_TRUE(later.succeeds(60s));
        EXPECT_TRUE(std::filesystem::exists(*staged)) << "the running editor's media went";
        EXPECT_EQ(running.process().state(), QProcess::Running);
        if (!autoSaved) {
            std::ofstream(goAhead).put('\n');
            ASSERT_TRUE(running.waitForLine(QString::fromLatin1(workAutoSaved), 120s));
        } else {
            EXPECT_TRUE(std::filesystem::exists(autoSave)) << "the running editor's auto-save went";
        }
    }

    // The work and its media are there for the start after a crash.
    running.kill();
    ChildSession recovered(recoverSessionStep, {argument(projectFile)}, home.environment());
    EXPECT_TRUE(recovered.succeeds(120s)) << "the recovering session's checks failed";
}

TEST(HandOverJourney, AnEditorKilledWhileAStartHandsItAFolderLosesNoEditOlderThanFifteenSeconds) {
    const JourneyHome home;
    const std::filesystem::path folder = home / "Handed Film";
    saveProjectFolder(folder, "Music");
    const unsigned seed = std::random_device{}();
    std::printf("handed over editing: seed %u\n", seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> editing(20'000, 40'000);

    ChildSession first(steadySessionStep,
                       {QStringLiteral("fresh"), QStringLiteral("1"), QStringLiteral("edit")},
                       home.environment());
    ASSERT_TRUE(first.waitForLineStartingWith(QString::fromLatin1(recoveredLine), 120s))
        << "the first editor did not start";
    std::vector<Edit> edits;
    ASSERT_NO_FATAL_FAILURE(
        collectEdits(first, 1, std::chrono::milliseconds(editing(random)), edits));

    // Frozen, the editor cannot answer: the start's folder waits in its socket
    // when the editor is killed.
    first.freeze();
    ChildSession second(takingOverSessionStep, {argument(folder)}, home.environment());
    ASSERT_TRUE(second.waitForLine(QString::fromLatin1(waitingForAnswer), 60s))
        << "the second start did not hand its folder to the running editor";
    const std::chrono::nanoseconds killedAt = sinceBoot();
    first.kill();
    ASSERT_EQ(first.process().exitStatus(), QProcess::CrashExit);
    collectLastEdits(first, edits);
    std::printf("handed over editing: killed after %zu edits\n", edits.size());

    const std::optional<QString> recovered =
        second.waitForLineStartingWith(QString::fromLatin1(recoveredLine), 120s);
    ASSERT_TRUE(recovered) << "the second start did not become the editor";
    expectEditsKept({}, split(*recovered), edits, killedAt, 1);
    EXPECT_TRUE(second.succeeds(60s)) << "the second start's checks failed";
}

} // namespace

} // namespace vexel::journeys
