#include "app/AppHarness.h"
#include "data/media/FFmpegMediaLoaderError.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "presentation/views/banner/ErrorBannerView.h"
#include "presentation/views/shell/MainWindowCommands.h"
#include "support/Fifo.h"
#include "support/FileContents.h"
#include "support/media/MovieMaker.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace vexel;
using namespace vexel::test;

namespace {

void writeMovie(const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    vexel::testing::TestMovie movie;
    movie.frameCount = 30;
    vexel::testing::writeTestMovie(file, movie);
}

// Presses the keys over the window and waits for the command they started.
void press(AppHarness& app, int key, Qt::KeyboardModifiers modifiers) {
    MainWindow& window = app.app->window();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const std::optional<TaskHandle> before = window.commands().lastTask();
    QTest::keyClick(&window, static_cast<Qt::Key>(key), modifiers);
    settle();
    const std::optional<TaskHandle>& started = window.commands().lastTask();
    ASSERT_TRUE(started && started != before) << "the keys started nothing";
    awaitTask(started->finished());
    settle();
}

// Adds the movie through the window's file panel, as the user picks it.
void addThroughPanel(AppHarness& app, const std::filesystem::path& movie) {
    writeMovie(movie);
    app.dialogs->answerPanel({movie});
    app.app->window().commands().action(WindowCommand::openFilePicker).trigger();
    settle();
    awaitTask(app.app->window().commands().lastTask()->finished());
    settle();
}

TEST(ProjectFolderMediaTest, SavingCopiesTheMediaOnceAndGoesOnOnceTheOriginalsAreGone) {
    AppHarness app;
    app.launch();
    MainViewModel& document = app.graph().mainViewModel();
    addThroughPanel(app, app.root / "media" / "clip.mp4");
    ASSERT_EQ(app.graph().timelineViewModel().project().videoClips().size(), 1u);

    const std::filesystem::path folder = app.root / "Film.vexel";
    app.dialogs->answerPanel({folder});
    press(app, Qt::Key_S, Qt::ControlModifier);
    press(app, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(namesIn(folder / "assets").size(), 1u);
    EXPECT_FALSE(document.isDirty());

    // The picked file and its staged copy go: the folder's own copy serves.
    std::filesystem::remove_all(app.root / "media");
    std::filesystem::remove_all(app.stagingFolder());
    app.edit(addTitle(3));
    press(app, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(document.isDirty());
    EXPECT_EQ(namesIn(folder / "assets").size(), 1u);
    EXPECT_TRUE(app.graph().errorBannerViewModel().errorHistory().empty());
    EXPECT_EQ(app.dialogs->panels().size(), 2u);
    EXPECT_EQ(ProjectPersistenceService().load(folder), app.graph().timelineViewModel().project());
}

// Save As where a clip's media can no longer be copied leaves the chosen
// place unmade and the document where it was, and says which clip and why;
// Save then writes where the document is, and what it saved is not offered
// for recovery after a crash.
TEST(ProjectFolderMediaTest, AFailedSaveAsChangesNothingAndSavedWorkIsNotRecoveredAfterACrash) {
    AppHarness app;
    app.launch();
    MainViewModel& document = app.graph().mainViewModel();
    addThroughPanel(app, app.root / "media" / "clip.mp4");
    const std::filesystem::path film = app.root / "Film.vexel";
    app.dialogs->answerPanel({film});
    press(app, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(document.currentProjectURL(), film);

    addThroughPanel(app, app.root / "media" / "take.mp4");
    const std::vector<Clip> clips = app.graph().timelineViewModel().project().videoClips();
    ASSERT_EQ(clips.size(), 2u);
    std::filesystem::remove(*clips[1].assetURL);
    const std::filesystem::path copy = app.root / "Copy.vexel";
    app.dialogs->answerPanel({copy});
    press(app, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_EQ(document.currentProjectURL(), film);
    EXPECT_TRUE(document.isDirty());
    ErrorBannerView* banner = app.app->window().findChild<ErrorBannerView*>();
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->messageText().toStdString(),
              "Failed to save project \u201CCopy.vexel\u201D: cannot copy the media of "
              "\u201Ctake.mp4\u201D: the file is missing");

    QTest::keyClick(&app.app->window(), Qt::Key_Z, Qt::ControlModifier);
    settle();
    ASSERT_EQ(app.graph().timelineViewModel().project().videoClips().size(), 1u);
    const std::size_t panelsAsked = app.dialogs->panels().size();
    press(app, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(app.dialogs->panels().size(), panelsAsked);
    EXPECT_FALSE(document.isDirty());
    EXPECT_EQ(ProjectPersistenceService().load(film), app.graph().timelineViewModel().project());

    // Long after the last edit, the saved work is on disk only in its folder.
    app.time->advance(app.environment().autoSaveDebounce);
    settle();
    EXPECT_FALSE(app.autoSave()->exists());
    app.crash();
    app.launch();
    EXPECT_TRUE(app.dialogs->alerts().empty());
}

TEST(ProjectFolderMediaTest, AReceivedFolderOpensWithoutReachingOutAndNamesTheClipsItCannotPlay) {
    AppHarness app;
    const std::filesystem::path folder = app.root / "Received.vexel";
    const std::filesystem::path notes = app.root / "private" / "notes.txt";
    writeFile(notes, "the user's own notes");
    writeMovie(folder / "assets" / "good.mp4");
    std::filesystem::create_symlink(notes, folder / "assets" / "notes.mov");
    Fifo pipe(folder / "assets" / "pipe.mp4");
    Project received = Project::makeNew();
    Track video{Uuid::random(), TrackType::video, "Video 1", {}};
    for (const char* name : {"good.mp4", "notes.mov", "pipe.mp4"}) {
        Clip clip;
        clip.id = Uuid::random();
        clip.assetName = name;
        clip.assetURL = folder / "assets" / name;
        clip.trackType = TrackType::video;
        clip.timeRange = {static_cast<double>(video.clips.size()), 1};
        video.clips.push_back(clip);
    }
    received.tracks.push_back(video);
    ProjectPersistenceService().save(received, folder);

    // Opened from the command line, as a file manager would.
    app.launch(folder);
    MainWindow& window = app.app->window();
    ErrorBannerView* banner = window.findChild<ErrorBannerView*>();
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->messageText().toStdString(),
              "Cannot use the media of 2 clips: \u201Cnotes.mov\u201D, \u201Cpipe.mp4\u201D");
    EXPECT_EQ(banner->detailLabel()->text().toStdString(),
              "\u201Cnotes.mov\u201D: the file lies outside the project folder\n"
              "\u201Cpipe.mp4\u201D: not a regular file");
    EXPECT_EQ(app.graph().mainViewModel().currentProjectURL(), folder);

    // The preview is built from what can be played, and the pipe is never opened.
    TimelineViewModel& timeline = app.graph().timelineViewModel();
    EXPECT_FALSE(timeline.project().videoClips()[1].assetURL);
    PreviewViewModel& preview = app.graph().previewViewModel();
    awaitTask(preview.loadProject(timeline.project()).finished());
    EXPECT_TRUE(preview.hasContent());

    // The assistant's add_clip of the pipe fails at once, and the next edit lands.
    EditCommand::AddClip addPipe;
    addPipe.assetName = (folder / "assets" / "pipe.mp4").string();
    addPipe.at = 10;
    EXPECT_THROW(awaitTask(timeline.executeCommands({addPipe})), FFmpegMediaLoaderError);
    app.edit(addTitle(20));
    EXPECT_EQ(timeline.project().textClips().size(), 1u);
    EXPECT_FALSE(pipe.openedToRead());

    // Another, whose "assets" leads to the user's own folder, opened from the
    // panel: nothing there is tidied away, however much it looks like what a
    // killed save leaves.
    const std::filesystem::path linked = app.root / "Linked.vexel";
    ProjectPersistenceService().save(Project::makeNew(), linked);
    std::filesystem::remove(linked / "assets");
    std::filesystem::create_symlink(notes.parent_path(), linked / "assets");
    const std::filesystem::path draft = notes.parent_path() / ".draft.mov.tmp-1A2B3C4D";
    writeFile(draft, "the user's own draft");
    app.dialogs->answerAlert("Don't Save");
    app.dialogs->answerPanel({linked});
    press(app, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(app.graph().mainViewModel().currentProjectURL(), linked);
    EXPECT_EQ(readFile(draft), "the user's own draft");
}

} // namespace
