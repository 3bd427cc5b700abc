#include "app/AppHarness.h"
#include "data/media/FFmpegMediaLoaderError.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "presentation/support/Pointer.h"
#include "presentation/support/Screenshot.h"
#include "presentation/views/banner/ErrorBannerView.h"
#include "presentation/views/shell/MainWindowCommands.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "presentation/views/timeline/TimelineRuler.h"
#include "support/Fifo.h"
#include "support/FileContents.h"
#include "support/ForeignMedia.h"
#include "support/RunEventsUntil.h"
#include "support/media/MovieMaker.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
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

// Lets the preview's pause after a change pass and waits for the load it
// starts.
void awaitPreview(AppHarness& app) {
    settle();
    app.time->advance(std::chrono::seconds(1));
    if (const std::optional<TaskHandle>& loading = app.graph().previewViewModel().loadingTask()) {
        awaitTask(loading->finished());
    }
    settle();
}

std::string lastChatMessage(AppHarness& app) {
    const std::vector<ChatMessage>& messages =
        app.graph().instructionViewModel().chatHistory().messages();
    return messages.empty() ? std::string() : messages.back().content();
}

// Exports with the window's keys and waits for what the chat says of it.
void exportWithKeys(AppHarness& app) {
    MainWindow& window = app.app->window();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    InstructionViewModel& instructions = app.graph().instructionViewModel();
    const std::size_t said = instructions.chatHistory().messages().size();
    QTest::keyClick(&window, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] {
        return !instructions.currentTask() && instructions.chatHistory().messages().size() > said;
    })) << "the keys started no export, or it said nothing";
    settle();
}

// A clip's file deleted while its project is open: the preview that comes
// upon it says so at once and once, plays the rest, and leaves the project as
// it was; an export refuses to pass for the project without it, naming it and
// why. A clip the opening already named is not named again.
TEST(ProjectFolderMediaTest, MediaGoneWhileOpenIsNamedOnceTheRestPlaysAndAnExportSaysWhy) {
    AppHarness app;
    const std::filesystem::path media = app.root / "media";
    writeMovie(media / "good.mp4");
    writeMovie(media / "gone.mp4");
    // As a camera writes it, through FFmpeg's own encoders.
    const std::filesystem::path camera = media / "doomed.mp4";
    vexel::testing::writeForeignMedia(camera,
                                      {.container = "mp4",
                                       .video = vexel::testing::ForeignVideo{.frameCount = 25},
                                       .audio = vexel::testing::ForeignAudio{.seconds = 1}});
    Project project = Project::makeNew();
    Track video{Uuid::random(), TrackType::video, "Video 1", {}};
    for (const char* name : {"good.mp4", "doomed.mp4", "good.mp4", "gone.mp4"}) {
        Clip clip;
        clip.id = Uuid::random();
        clip.assetName = name;
        clip.assetURL = media / name;
        clip.trackType = TrackType::video;
        clip.timeRange = {static_cast<double>(video.clips.size()), 1};
        video.clips.push_back(clip);
    }
    project.tracks.insert(project.tracks.begin(), video);
    const std::filesystem::path folder = app.root / "Doomed.vexel";
    ProjectPersistenceService().save(project, folder);
    std::filesystem::remove(folder / "assets" / "gone.mp4");

    app.launch(folder);
    app.graph().tutorialState().setCurrentStep(std::nullopt);
    MainWindow& window = app.app->window();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ErrorBannerView& banner = *window.findChild<ErrorBannerView*>();
    const ErrorBannerViewModel& errors = app.graph().errorBannerViewModel();
    EXPECT_EQ(banner.messageText().toStdString(), "Cannot use the media of \u201Cgone.mp4\u201D");
    awaitPreview(app);
    PreviewViewModel& preview = app.graph().previewViewModel();
    ASSERT_TRUE(preview.hasContent());
    EXPECT_EQ(errors.errorHistory().size(), 1u)
        << "the preview named the clip opened without media";
    TimelineViewModel& timeline = app.graph().timelineViewModel();
    const std::vector<Clip> clips = timeline.project().videoClips();
    ASSERT_EQ(clips[1].assetURL, folder / "assets" / "doomed.mp4");

    // Gone, and the ruler clicked over it: the banner names it at once, the
    // clock not moved.
    std::filesystem::remove(*clips[1].assetURL);
    std::filesystem::remove(camera);
    TimelineRuler& ruler = *window.findChild<TimelinePanel*>()->content()->ruler();
    const auto onRuler = [&](double seconds) {
        return QPoint(static_cast<int>(seconds / ruler.displayDuration() * ruler.width()),
                      ruler.height() / 2);
    };
    Pointer pointer(ruler);
    const std::optional<TaskHandle> loadedBefore = preview.loadingTask();
    pointer.click(onRuler(1.5));
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] { return errors.errorHistory().size() == 2; },
                                               std::chrono::seconds(2)))
        << "nothing said the media went";
    EXPECT_EQ(banner.messageText().toStdString(), "The media of \u201Cdoomed.mp4\u201D is missing");
    EXPECT_EQ(errors.currentError()->category, ErrorCategory::fileImport);
    saveScreenshot(window, "preview-media-gone-named.png");

    // Rebuilt without it, the preview goes over its place and plays on past
    // it, and says nothing more.
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] {
        return preview.loadingTask() != loadedBefore && preview.loadingTask()->isFinished();
    })) << "the preview was not rebuilt";
    settle();
    for (const double seconds : {1.2, 1.8, 1.5, 0.8}) {
        pointer.click(onRuler(seconds));
        settle();
    }
    QTest::keyClick(&window, Qt::Key_Space);
    // The player's own time: the playhead follows it on the injected clock.
    const auto played = [&] { return preview.player().currentTime().seconds(); };
    EXPECT_TRUE(vexel::testing::runEventsUntil([&] { return played() >= 2.2; }))
        << "playback stopped at " << played() << " s";
    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_FALSE(preview.player().error().has_value());
    EXPECT_EQ(errors.errorHistory().size(), 2u) << "the clip was named again";
    EXPECT_EQ(timeline.project().videoClips(), clips) << "the project changed";
    EXPECT_FALSE(app.graph().mainViewModel().isDirty());
    app.edit(addTitle(5));
    awaitPreview(app);
    EXPECT_EQ(errors.errorHistory().size(), 2u) << "a rebuild named the clip again";

    // An export refuses, naming the clips and why; the banner, which said so
    // already, says nothing new.
    exportWithKeys(app);
    EXPECT_EQ(lastChatMessage(app), "Export failed: the media of 2 clips is missing: "
                                    "\u201Cdoomed.mp4\u201D, \u201Cgone.mp4\u201D");
    EXPECT_EQ(errors.errorHistory().size(), 2u);
    EXPECT_TRUE(!std::filesystem::exists(app.exportFolder()) ||
                namesIn(app.exportFolder()).empty());

    // Back, seen by a rebuild, and gone again: the export is first to meet
    // it, and the banner names it once more.
    writeMovie(*clips[1].assetURL);
    app.edit(addTitle(8));
    awaitPreview(app);
    EXPECT_EQ(errors.errorHistory().size(), 2u);
    std::filesystem::remove(*clips[1].assetURL);
    exportWithKeys(app);
    EXPECT_EQ(lastChatMessage(app), "Export failed: the media of 2 clips is missing: "
                                    "\u201Cdoomed.mp4\u201D, \u201Cgone.mp4\u201D");
    ASSERT_EQ(errors.errorHistory().size(), 3u);
    EXPECT_EQ(errors.currentError()->message, "The media of \u201Cdoomed.mp4\u201D is missing");
    EXPECT_EQ(timeline.project().videoClips(), clips);

    // Back and seen once more, gone again, and the folder opened anew: its
    // opening names what it cannot use, and the preview does not repeat it.
    writeMovie(*clips[1].assetURL);
    app.edit(addTitle(11));
    awaitPreview(app);
    std::filesystem::remove(*clips[1].assetURL);
    app.dialogs->answerAlert("Don't Save");
    app.dialogs->answerPanel({folder});
    press(app, Qt::Key_O, Qt::ControlModifier);
    awaitPreview(app);
    ASSERT_EQ(errors.errorHistory().size(), 1u);
    EXPECT_EQ(errors.currentError()->message,
              "Cannot use the media of 2 clips: \u201Cdoomed.mp4\u201D, \u201Cgone.mp4\u201D");
}

} // namespace
