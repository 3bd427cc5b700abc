// The window's file panels as the user meets them: Qt's own panel, answered by
// typing a name and Return, and the application's own message boxes.

#include "app/AppHarness.h"
#include "app/screenshots/ScreenGrab.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "platform/media/Asset.h"
#include "presentation/views/banner/ErrorBannerView.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/shell/MainWindowCommands.h"
#include "presentation/views/shell/SettingsDialog.h"
#include "presentation/views/timeline/TimelineActionBar.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "support/ClipPlayback.h"
#include "support/FileContents.h"
#include "support/ForeignSampleKinds.h"
#include "support/ForeignSamples.h"
#include "support/RunEventsUntil.h"
#include "support/media/MovieMaker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

using namespace vexel;
using namespace vexel::test;
using vexel::testing::runEventsUntil;
using vexel::testing::ScopedEnvironment;

namespace {

// The application with its own panels and message boxes, its window shown,
// over a home folder of the test's own.
struct RealPanels {
    RealPanels() {
        std::filesystem::create_directories(root / "home");
        harness.scriptDialogs = false;
        // Not a first run: no tutorial over the window.
        harness.environment().openUserDefaults()->setValue("hasCompletedOnboarding", true);
        AppController& app = harness.make();
        app.start();
        awaitTask(app.startup()->finished());
        settle();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&app.window()));
    }

    MainWindowCommands& commands() { return harness.app->window().commands(); }
    MainViewModel& document() { return harness.graph().mainViewModel(); }

    // Chooses the command as its menu item does; what it started goes on.
    void trigger(WindowCommand command) {
        commands().action(command).trigger();
        settle();
    }

    // Waits for what the last command started, answered to the end.
    void finish() {
        ASSERT_TRUE(commands().lastTask());
        awaitTask(commands().lastTask()->finished());
        settle();
    }

    vexel::testing::TemporaryFolder root;
    ScopedEnvironment home{"HOME", (root / "home").string()};
    ScopedEnvironment config{"XDG_CONFIG_HOME", (root / "config").string()};
    AppHarness harness;
};

QLineEdit& nameField(QFileDialog& panel) {
    auto* name = panel.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(name, nullptr);
    return *name;
}

// Enters `name` (none: keeps the proposed one) and presses Return.
void answer(QFileDialog& panel, const std::optional<std::filesystem::path>& name = {}) {
    QLineEdit& field = nameField(panel);
    field.setFocus();
    if (name) {
        // At once: typed key by key, the completer's list would take the Return.
        field.setText(QFile::decodeName(name->c_str()));
    }
    QTest::keyClick(&field, Qt::Key_Return);
    settle();
}

void click(QMessageBox& box, const QString& button) {
    QAbstractButton* found = buttonNamed(box, button);
    ASSERT_NE(found, nullptr) << button.toStdString();
    QTest::mouseClick(found, Qt::LeftButton);
    settle();
}

// Every "project.json" at or below `folder`, outside its "assets".
std::vector<std::filesystem::path> projectFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.path().filename() == ProjectPersistenceService::projectFileName) {
            found.push_back(entry.path());
        }
    }
    return found;
}

std::filesystem::path folderShown(const QFileDialog& panel) {
    return std::filesystem::path(QFile::encodeName(panel.directory().absolutePath()).toStdString());
}

TEST(FilePanelsTest, SaveAsOverAProjectAsksToReplaceItAndNeverNestsOne) {
    RealPanels shown;
    const std::filesystem::path projects = shown.root / "Projects";
    const std::filesystem::path holiday = projects / "Holiday.vexel";
    std::filesystem::create_directories(projects);
    shown.harness.edit(addTitle(0));

    // A new name: the folder is made and holds the project.
    shown.trigger(WindowCommand::saveProjectAs);
    QFileDialog* panel = waitForFilePanel(QStringLiteral("Save Project As"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(nameField(*panel).text(), QStringLiteral("Untitled.vexel"));
    // Never saved: at home, not in the folder the program runs in.
    EXPECT_EQ(folderShown(*panel), shown.root / "home");
    answer(*panel, holiday);
    shown.finish();
    EXPECT_EQ(projectFiles(projects), std::vector{holiday / "project.json"});
    EXPECT_EQ(shown.document().currentProjectURL(), holiday);
    EXPECT_FALSE(shown.document().isDirty());

    // Its own name again, as proposed: Qt's panel would open the folder;
    // here it asks, and Cancel writes nothing.
    shown.harness.edit(addTitle(3));
    const std::string before = readFile(holiday / "project.json");
    shown.trigger(WindowCommand::saveProjectAs);
    panel = waitForFilePanel(QStringLiteral("Save Project As"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(nameField(*panel).text(), QStringLiteral("Holiday.vexel"));
    EXPECT_EQ(folderShown(*panel), projects);
    answer(*panel);
    QMessageBox* question = waitForQuestion();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(
        question->text(),
        QStringLiteral("\u201cHoliday.vexel\u201d already exists. Do you want to replace it?"));
    EXPECT_EQ(buttonTexts(*question), (QStringList{"Cancel", "Replace"}));
    // Return alone never replaces.
    EXPECT_EQ(static_cast<QAbstractButton*>(question->defaultButton()),
              buttonNamed(*question, QStringLiteral("Cancel")));
    click(*question, QStringLiteral("Cancel"));
    shown.finish();
    EXPECT_EQ(readFile(holiday / "project.json"), before);
    EXPECT_TRUE(shown.document().isDirty());

    // Replace: saved over, at the folder's top and nowhere inside it.
    shown.trigger(WindowCommand::saveProjectAs);
    panel = waitForFilePanel(QStringLiteral("Save Project As"));
    ASSERT_NE(panel, nullptr);
    answer(*panel);
    question = waitForQuestion();
    ASSERT_NE(question, nullptr);
    click(*question, QStringLiteral("Replace"));
    shown.finish();
    EXPECT_EQ(projectFiles(projects), std::vector{holiday / "project.json"});
    EXPECT_EQ(ProjectPersistenceService().load(holiday).textClips().size(), 2u);
    EXPECT_FALSE(shown.document().isDirty());

    // Save after Save As writes the same folder, with no panel and no question.
    shown.harness.edit(addTitle(6));
    shown.trigger(WindowCommand::saveProject);
    shown.finish();
    EXPECT_EQ(projectFiles(projects), std::vector{holiday / "project.json"});
    EXPECT_EQ(ProjectPersistenceService().load(holiday).textClips().size(), 3u);
    EXPECT_FALSE(shown.document().isDirty());
    EXPECT_TRUE(shown.harness.errors().empty());
}

// Names as the user types them into the panel's field: "a.webm" "b.flac".
QString quotedNames(const std::vector<std::filesystem::path>& files) {
    QStringList names;
    for (const std::filesystem::path& file : files) {
        names.push_back(u'"' + QFile::decodeName(file.filename().c_str()) + u'"');
    }
    return names.join(u' ');
}

// Opens Add Files, which opens at home, and chooses `files` there by name.
// (A folder typed first leaves the row it passed selected, and Qt's panel
// then drops that file from the names typed after.)
void addThroughPanel(RealPanels& shown, const std::vector<std::filesystem::path>& files) {
    shown.trigger(WindowCommand::openFilePicker);
    QFileDialog* panel = waitForFilePanel(QStringLiteral("Add Files"));
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(folderShown(*panel), files.front().parent_path());
    answer(*panel, quotedNames(files).toStdString());
    shown.finish();
}

TEST(FilePanelsTest, AddFilesTakesWhatTheDropTakesAndNamesEveryFileItCannotUse) {
    using vexel::testing::BrokenSample;
    RealPanels shown;
    const std::filesystem::path media = shown.root / "home";
    const auto& usable = vexel::testing::foreignSampleKinds();
    std::vector<std::filesystem::path> files;
    std::vector<std::pair<std::string, TrackType>> expected;
    for (const auto& [sample, type] : usable) {
        files.push_back(writeSample(media, sample));
        expected.emplace_back(vexel::testing::sampleName(sample), type);
    }
    addThroughPanel(shown, files);

    const Project project = shown.harness.graph().timelineViewModel().project();
    std::vector<std::pair<std::string, TrackType>> added;
    for (const Track& track : project.tracks) {
        for (const Clip& clip : track.clips) {
            EXPECT_EQ(clip.trackType, track.type) << clip.assetName;
            // Each sample holds a second; a still takes the editor's length.
            if (clip.trackType != TrackType::image) {
                EXPECT_NEAR(clip.timeRange.duration, 1.0, 0.05) << clip.assetName;
            } else {
                EXPECT_GT(clip.timeRange.duration, 0) << clip.assetName;
            }
            EXPECT_TRUE(clip.trackType == TrackType::audio
                            ? vexel::testing::soundsAloud(project, clip)
                            : vexel::testing::showsItsPicture(project, clip))
                << clip.assetName << " does not play";
            added.emplace_back(clip.assetName, clip.trackType);
        }
    }
    std::sort(added.begin(), added.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(added, expected);
    EXPECT_TRUE(shown.harness.graph().errorBannerViewModel().errorHistory().empty());

    // Each refused file named on the banner, in the order chosen, with why.
    addThroughPanel(shown, {writeSample(media, BrokenSample::truncatedMp4),
                            writeSample(media, BrokenSample::empty),
                            writeSample(media, BrokenSample::textAsMp4)});
    const std::vector<std::string> reports = {
        "Failed to add broken.mp4: the file is damaged or unreadable",
        "Failed to add empty.mp4: the file is empty",
        "Failed to add notes.mp4: it is not a media file"};
    std::vector<std::string> shownReports;
    for (const AppError& error : shown.harness.graph().errorBannerViewModel().errorHistory()) {
        shownReports.push_back(error.message);
    }
    EXPECT_EQ(shownReports, reports);
    ErrorBannerView* banner = shown.harness.app->window().findChild<ErrorBannerView*>();
    ASSERT_NE(banner, nullptr);
    EXPECT_TRUE(banner->isVisible());
    EXPECT_EQ(banner->messageText().toStdString(), reports.back());
    EXPECT_EQ(shown.harness.graph().timelineViewModel().project(), project);
}

// The timeline's export menu item for `title` ("Export as .mp4").
QAction* exportItem(RealPanels& shown, const QString& title) {
    auto& timeline =
        dynamic_cast<TimelinePanel&>(shown.harness.app->window().mainView()->timelinePane());
    for (QAction* item : timeline.actionBar()->exportMenu()->actions()) {
        if (item->text() == title) {
            return item;
        }
    }
    ADD_FAILURE() << "no menu item " << title.toStdString();
    return nullptr;
}

TEST(FilePanelsTest, AnExportIsWrittenUnderItsFormatsSuffixAndASecondOneAskedMeanwhileIsTold) {
    RealPanels shown;
    const std::filesystem::path exports = shown.root / "Exports";
    std::filesystem::create_directories(exports);
    shown.harness.graph().userDefaults().setValue("exportDirectory",
                                                  QFile::decodeName(exports.c_str()));
    vexel::testing::TestMovie movie;
    movie.frameCount = 15;
    vexel::testing::writeTestMovie(shown.root / "clip.mp4", movie);
    awaitTask(shown.harness.graph().timelineViewModel().addClip(shown.root / "clip.mp4",
                                                                TrackType::video, 0.0, "clip.mp4"));
    settle();
    InstructionViewModel& instructions = shown.harness.graph().instructionViewModel();
    const auto lastWords = [&] { return instructions.chatHistory().messages().back().content(); };

    // An MP4, asked for twice in a row, then named .mov in the panel.
    QAction* mp4 = exportItem(shown, QStringLiteral("Export as .mp4"));
    ASSERT_NE(mp4, nullptr);
    mp4->trigger();
    mp4->trigger();
    ASSERT_FALSE(instructions.chatHistory().messages().empty());
    EXPECT_EQ(lastWords(), InstructionViewModel::exportRunningNotice);
    QFileDialog* panel =
        waitForFilePanel(QStringLiteral("Save Exported Video"), std::chrono::seconds(60));
    ASSERT_NE(panel, nullptr);
    answer(*panel, exports / "projB.mov");
    ExportCoordinator& coordinator = instructions.exportCoordinator();
    ASSERT_TRUE(vexel::testing::runEventsUntil(
        [&] { return lastWords() != InstructionViewModel::exportRunningNotice; }));
    EXPECT_EQ(lastWords(), "Exported video to projB.mp4");
    EXPECT_FALSE(std::filesystem::exists(exports / "projB.mov"));
    ASSERT_TRUE(std::filesystem::exists(exports / "projB.mp4"));
    EXPECT_EQ(
        media::Asset::load(exports / "projB.mp4").firstTrack(media::MediaType::video)->codecName,
        "h264");
    EXPECT_FALSE(coordinator.exportSaveRequest());
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] { return !instructions.currentTask(); }));

    // A name without a suffix gets the format's; a name typed .mov whose
    // corrected name exists asks first, and Cancel keeps that file.
    const std::string earlier = readFile(exports / "projB.mp4");
    for (const auto& [format, typed, written, asks] :
         {std::tuple(QStringLiteral("Export as .mov"), "projC", "projC.mov", false),
          std::tuple(QStringLiteral("Export as .mp4"), "projB.mov", "projB.mp4", true)}) {
        SCOPED_TRACE(typed);
        exportItem(shown, format)->trigger();
        panel = waitForFilePanel(QStringLiteral("Save Exported Video"), std::chrono::seconds(60));
        ASSERT_NE(panel, nullptr);
        // Qt's panel asks in a modal loop of its own: the question is
        // answered from inside it, once it shows.
        QString asked;
        QTimer answering;
        QObject::connect(&answering, &QTimer::timeout, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* question = qobject_cast<QMessageBox*>(widget);
                if (question != nullptr && question->isVisible()) {
                    asked = question->text();
                    question->reject();
                    answering.stop();
                }
            }
        });
        answering.start(10);
        answer(*panel, exports / typed);
        answering.stop();
        if (asks) {
            EXPECT_NE(asked.indexOf(QString::fromUtf8(written)), -1) << asked.toStdString();
            QTest::keyClick(panel, Qt::Key_Escape);
            ASSERT_TRUE(
                vexel::testing::runEventsUntil([&] { return !coordinator.exportSaveRequest(); }));
            EXPECT_EQ(readFile(exports / written), earlier);
        } else {
            EXPECT_TRUE(asked.isEmpty()) << asked.toStdString();
            ASSERT_TRUE(vexel::testing::runEventsUntil(
                [&] { return lastWords() == "Exported video to " + std::string(written); }));
            EXPECT_TRUE(std::filesystem::exists(exports / written));
            EXPECT_FALSE(std::filesystem::exists(exports / typed));
        }
        ASSERT_TRUE(vexel::testing::runEventsUntil([&] { return !instructions.currentTask(); }));
    }
}

TEST(FilePanelsTest, AFolderThatIsNoProjectOrLiesInOneIsRefusedAndLeftAlone) {
    RealPanels shown;
    const std::filesystem::path projects = shown.root / "Projects";
    const std::filesystem::path holiday = projects / "Holiday.vexel";
    const std::filesystem::path stuff = projects / "Stuff";
    std::filesystem::create_directories(stuff);
    std::ofstream(stuff / "notes.txt") << "mine";
    std::filesystem::create_directories(projects / "Empty");
    shown.harness.edit(addTitle(0));
    awaitTask(shown.document().saveTo(holiday));
    shown.harness.edit(addTitle(3));

    const struct {
        std::filesystem::path chosen;
        QString refusal;
    } refused[] = {
        {stuff, QStringLiteral("\u201cStuff\u201d already exists and is not a project.")},
        {stuff / "notes.txt",
         QStringLiteral("\u201cnotes.txt\u201d already exists and is not a project.")},
        {holiday / "Inner.vexel",
         QStringLiteral(
             "\u201cInner.vexel\u201d is inside the project \u201cHoliday.vexel\u201d.")},
        {holiday / "assets",
         QStringLiteral("\u201cassets\u201d is inside the project \u201cHoliday.vexel\u201d.")},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.chosen.string());
        shown.trigger(WindowCommand::saveProjectAs);
        QFileDialog* panel = waitForFilePanel(QStringLiteral("Save Project As"));
        ASSERT_NE(panel, nullptr);
        answer(*panel, c.chosen);
        QMessageBox* message = waitForQuestion();
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->text(), c.refusal);
        EXPECT_EQ(buttonTexts(*message), QStringList{"OK"});
        click(*message, QStringLiteral("OK"));
        // The panel again, where the refused name was, to choose another.
        panel = waitForFilePanel(QStringLiteral("Save Project As"));
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(folderShown(*panel), c.chosen.parent_path());
        QTest::keyClick(&nameField(*panel), Qt::Key_Escape);
        shown.finish();
        EXPECT_EQ(projectFiles(projects), std::vector{holiday / "project.json"});
        EXPECT_EQ(shown.document().currentProjectURL(), holiday);
        EXPECT_TRUE(shown.document().isDirty());
    }
    EXPECT_EQ(readFile(stuff / "notes.txt"), "mine");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(stuff),
                            std::filesystem::directory_iterator()),
              1);

    // An empty folder takes the project as a new name would.
    shown.trigger(WindowCommand::saveProjectAs);
    QFileDialog* panel = waitForFilePanel(QStringLiteral("Save Project As"));
    ASSERT_NE(panel, nullptr);
    answer(*panel, projects / "Empty");
    shown.finish();
    EXPECT_EQ(shown.document().currentProjectURL(), projects / "Empty");
    EXPECT_TRUE(std::filesystem::is_regular_file(projects / "Empty" / "project.json"));
    EXPECT_FALSE(shown.document().isDirty());
}

TEST(FilePanelsTest, ExportPanelsOpenInAFolderThatExists) {
    RealPanels shown;
    const std::filesystem::path home = shown.root / "home";
    const std::filesystem::path videos = home / "Videos";
    const std::filesystem::path chosen = shown.root / "Exports";
    const std::filesystem::path gone = shown.root / "Gone";
    std::filesystem::create_directories(chosen);
    QSettings& settings = shown.harness.graph().userDefaults();
    const auto pathText = [](const std::filesystem::path& path) {
        return QFile::decodeName(path.c_str());
    };

    // The settings' Choose...: the export folder, else the videos folder,
    // else home; never the folder the program runs in.
    shown.trigger(WindowCommand::settings);
    SettingsDialog* dialog = shown.commands().settingsDialog();
    ASSERT_NE(dialog, nullptr);
    QAbstractButton* choose = nullptr;
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text() == QStringLiteral("Choose...")) {
            choose = button;
        }
    }
    ASSERT_NE(choose, nullptr);
    const struct {
        std::optional<std::filesystem::path> stored;
        bool videosExist;
        std::filesystem::path opened;
    } cases[] = {
        {chosen, false, chosen},      {gone, false, home},
        {std::nullopt, false, home},  {gone, true, videos},
        {std::nullopt, true, videos}, {std::filesystem::path("relative"), true, videos},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.value_or("none").string() + (c.videosExist ? ", videos" : ""));
        if (c.stored) {
            settings.setValue("exportDirectory", pathText(*c.stored));
        } else {
            settings.remove("exportDirectory");
        }
        if (c.videosExist) {
            std::filesystem::create_directories(videos);
        } else {
            std::filesystem::remove_all(videos);
        }
        QTest::mouseClick(choose, Qt::LeftButton);
        QFileDialog* panel = waitForFilePanel(QStringLiteral("Choose Export Directory"));
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(folderShown(*panel), c.opened);
        QTest::keyClick(panel, Qt::Key_Escape);
        settle();
    }
    dialog->close();

    // A finished export offers its file in the videos folder when the export
    // folder has gone.
    settings.setValue("exportDirectory", pathText(gone));
    vexel::testing::TestMovie movie;
    movie.frameCount = 15;
    vexel::testing::writeTestMovie(shown.root / "clip.mp4", movie);
    TimelineViewModel& timeline = shown.harness.graph().timelineViewModel();
    awaitTask(timeline.addClip(shown.root / "clip.mp4", TrackType::video, 0.0, "clip.mp4"));
    settle();
    shown.trigger(WindowCommand::exportProject);
    QFileDialog* panel =
        waitForFilePanel(QStringLiteral("Save Exported Video"), std::chrono::seconds(60));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(folderShown(*panel), videos);
    QTest::keyClick(panel, Qt::Key_Escape);
    ExportCoordinator& coordinator =
        shown.harness.graph().instructionViewModel().exportCoordinator();
    EXPECT_TRUE(runEventsUntil([&] { return !coordinator.exportSaveRequest(); }));
    settle();
    EXPECT_FALSE(std::filesystem::exists(gone));
}

} // namespace
