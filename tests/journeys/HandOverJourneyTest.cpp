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

#include <sched.h>
#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
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
constexpr const char* secondEditor = "journey: a second editor started";
constexpr const char* waitingForAnswer = "journey: waiting for the running editor";
constexpr const char* workSaved = "journey: work saved";

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
    // The folder the start was given still opens, once the user has said what
    // becomes of the recovered work.
    ASSERT_TRUE(waitUntil([&] {
        QMessageBox* saving = shownQuestion();
        return saving != nullptr &&
               saving->text() == QStringLiteral("Save changes to the current project?");
    })) << "the folder given to the start was dropped";
    announce(recoveredLine + joined(textNames(shownProject(*app))));
    ASSERT_NO_FATAL_FAILURE(click(*shownQuestion(), QStringLiteral("Don't Save")));
    ASSERT_NO_FATAL_FAILURE(expectOpened(*app, std::filesystem::path(arguments[0])));
    EXPECT_TRUE(app->startup()->isFinished());
}

void keepingSession(const std::vector<std::string>& arguments) {
    ASSERT_EQ(arguments.size(), 5u);
    const std::filesystem::path clip = arguments[0];
    const std::filesystem::path projectFile = arguments[1];
    const std::filesystem::path goAhead = arguments[2];
    const std::filesystem::path saveFolder = arguments[3];
    const bool autoSaves = arguments[4] == "auto-save";

    std::unique_ptr<AppController> app = startEditor();
    ASSERT_NE(app, nullptr) << "another editor ran";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
    ASSERT_TRUE(waitUntil([&] { return app->startup()->isFinished(); }));
    EXPECT_FALSE(app->isUnguarded()) << "the first editor is not sure it runs alone";
    activate(app->window());
    skipWelcomeIfShown(*app);
    auto* panel = app->window().findChild<TimelinePanel*>();
    ASSERT_NE(panel, nullptr) << "the window shows no timeline";
    const TimelineViewModel& timeline = app->editorGraph()->timelineViewModel();
    dropFiles(*panel, {fileUrl(clip)});
    ASSERT_TRUE(waitUntil([&] {
        return timeline.importingCount() == 0 && timeline.project().videoClips().size() == 1;
    })) << "the dropped clip did not arrive";
    if (autoSaves) {
        ASSERT_TRUE(waitForAutoSave(timeline.project())) << "the auto-save never held the work";
    }
    writeProject(timeline.project(), projectFile);
    announce(mediaStaged);

    ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(goAhead); }, 120s));
    ASSERT_NO_FATAL_FAILURE(saveWithKeys(app->window(), saveFolder));
    announce(workSaved);
    waitUntil([] { return false; }, 120s);
    ADD_FAILURE() << "the session was not killed";
}

void openingSession(const std::vector<std::string>& arguments) {
    ASSERT_EQ(arguments.size(), 1u) << "the folder handed over";
    std::unique_ptr<AppController> app = startEditor();
    ASSERT_NE(app, nullptr) << "another editor ran";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
    ASSERT_TRUE(waitUntil([&] { return app->startup()->isFinished(); }));
    announce(editorRunning);
    ASSERT_NO_FATAL_FAILURE(expectOpened(*app, std::filesystem::path(arguments[0])));
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
    // Longer than any of its own waits, so that it says which one failed.
    EXPECT_TRUE(second.succeeds(120s)) << "the second start's checks failed";
}

// `folder` made read-only by a bind mount, in a mount namespace of this
// process's own that the sessions it starts inherit: gone with the process
// whatever becomes of it. Unavailable without the right to mount.
class ReadOnlyPlace {
public:
    explicit ReadOnlyPlace(std::filesystem::path folder)
        : folder_(std::move(folder)) {
        static const bool ownNamespace =
            ::unshare(CLONE_NEWNS) == 0 &&
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        mounted_ = ownNamespace &&
                   ::mount(folder_.c_str(), folder_.c_str(), nullptr, MS_BIND, nullptr) == 0;
        if (mounted_ && ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                                nullptr) != 0) {
            ::umount2(folder_.c_str(), MNT_DETACH);
            mounted_ = false;
        }
    }
    ~ReadOnlyPlace() {
        if (mounted_) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    ReadOnlyPlace(const ReadOnlyPlace&) = delete;
    ReadOnlyPlace& operator=(const ReadOnlyPlace&) = delete;

    bool mounted() const { return mounted_; }

private:
    std::filesystem::path folder_;
    bool mounted_ = false;
};

TEST(HandOverJourney, NoStateOfTheInstanceFolderLetsASecondStartTakeTheRunningEditorsWork) {
    const struct {
        const char* what;
        // Before the first editor starts, and while it runs.
        std::function<void(const JourneyHome&)> before;
        std::function<void(const JourneyHome&)> meanwhile;
        bool readOnlyData = false;
    } cases[] = {
        {"the instance folder removed while it runs",
         {},
         [](const JourneyHome& home) { std::filesystem::remove_all(instanceFolder(home)); }},
        {"the lock file a folder",
         [](const JourneyHome& home) {
             std::filesystem::create_directories(instanceFolder(home) / "editor.lock");
         },
         {}},
        {"the instance folder a link",
         [](const JourneyHome& home) {
             std::filesystem::create_directories(home / "elsewhere");
             std::filesystem::create_directories(instanceFolder(home).parent_path());
             std::filesystem::create_directory_symlink(home / "elsewhere", instanceFolder(home));
         },
         {}},
        {"the data folder read-only", {}, {}, true},
    };
    for (const auto& [what, before, meanwhile, readOnlyData] : cases) {
        SCOPED_TRACE(what);
        const JourneyHome home;
        const std::filesystem::path clip = home / "imported clip.mp4";
        vexel::testing::writeTestMovie(clip, {.width = 320, .height = 180, .frameCount = 60});
        const std::filesystem::path projectFile = home / "running-project.json";
        const std::filesystem::path goAhead = home / "go-ahead";
        const std::filesystem::path saved = home / "projects" / "Kept Film";
        std::filesystem::create_directories(saved.parent_path());
        if (before) {
            before(home);
        }
        std::optional<ReadOnlyPlace> readOnly;
        if (readOnlyData) {
            std::filesystem::create_directories(home / "data");
            readOnly.emplace(home / "data");
            if (!readOnly->mounted()) {
                std::printf("%s: skipped, this process may not mount: %s\n", what,
                            std::strerror(errno));
                continue;
            }
        }

        ChildSession running(keepingSessionStep,
                             {argument(clip), argument(projectFile), argument(goAhead),
                              argument(saved),
                              QString::fromLatin1(readOnlyData ? "none" : "auto-save")},
                             home.environment());
        ASSERT_TRUE(running.waitForLine(QString::fromLatin1(mediaStaged), 120s));
        const std::optional<std::filesystem::path> staged =
            readProject(projectFile).videoClips().front().assetURL;
        ASSERT_TRUE(staged && std::filesystem::exists(*staged));
        if (meanwhile) {
            meanwhile(home);
        }

        ChildSession later(secondStartStep, {}, home.environment());
        EXPECT_TRUE(later.waitForLine(QString::fromLatin1(handedOver), 60s))
            << "the later start did not hand over";
        EXPECT_TRUE(later.succeeds(60s));
        EXPECT_TRUE(std::filesystem::exists(*staged)) << "the running editor's media went";
        const std::filesystem::path autoSave =
            home / "data" / "com.vexel.app" / "autosave" / "project.json";
        EXPECT_EQ(std::filesystem::exists(autoSave), !readOnlyData)
            << "the running editor's auto-save went";
        ASSERT_EQ(running.process().state(), QProcess::Running);

        std::ofstream(goAhead).put('\n');
        ASSERT_TRUE(running.waitForLine(QString::fromLatin1(workSaved), 120s))
            << "the running editor could not save its work";
        const Project kept = ProjectPersistenceService().load(saved);
        ASSERT_EQ(kept.videoClips().size(), 1u);
        const std::optional<std::filesystem::path> video = kept.videoClips().front().assetURL;
        ASSERT_TRUE(video);
        EXPECT_EQ(video->parent_path().parent_path(), saved);
        EXPECT_EQ(std::filesystem::file_size(*video), std::filesystem::file_size(clip));
        running.kill();
    }
}

TEST(HandOverJourney, AStartReachesAnEditorThatCannotListenAtItsSocketFileAtOnce) {
    const struct {
        const char* what;
        std::function<void(const JourneyHome&, QProcessEnvironment&)> spoil;
    } cases[] = {
        {"the socket file a folder",
         [](const JourneyHome& home, QProcessEnvironment&) {
             std::filesystem::create_directories(instanceFolder(home) / "editor.socket");
         }},
        {"the socket's path too long, no runtime folder",
         [](const JourneyHome& home, QProcessEnvironment& environment) {
             environment.insert(QStringLiteral("XDG_DATA_HOME"),
                                argument(home / std::string(110, 'd')));
             environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
         }},
    };
    for (const auto& [what, spoil] : cases) {
        SCOPED_TRACE(what);
        const JourneyHome home;
        const std::filesystem::path folder = home / "projects" / "Handed Film";
        saveProjectFolder(folder, "Music");
        QProcessEnvironment environment = home.environment();
        spoil(home, environment);

        ChildSession running(openingSessionStep, {argument(folder)}, environment);
        ASSERT_TRUE(running.waitForLine(QString::fromLatin1(editorRunning), 120s));
        QProcess start;
        start.setProgram(QStringLiteral(VEXEL_PROGRAM));
        start.setArguments({argument(folder)});
        start.setProcessEnvironment(environment);
        start.setProcessChannelMode(QProcess::ForwardedChannels);
        const auto before = std::chrono::steady_clock::now();
        start.start();
        // Far below the 20 s a start gives an editor that does not answer.
        const bool ended = start.waitForFinished(10'000);
        const auto took = std::chrono::steady_clock::now() - before;
        if (!ended) {
            start.kill();
            start.waitForFinished();
        }
        EXPECT_TRUE(ended && start.exitStatus() == QProcess::NormalExit && start.exitCode() == 0)
            << "the start did not hand its folder over";
        EXPECT_LT(took, 10s);
        EXPECT_TRUE(running.succeeds(60s)) << "the running editor did not open the folder";
    }
}

} // namespace

} // namespace vexel::journeys
