#include "app/screenshots/ScreenGrab.h"
#include "journeys/ChildSession.h"
#include "journeys/Drive.h"
#include "journeys/JourneySteps.h"
#include "journeys/PrivateHome.h"
#include "journeys/SavedFolder.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/timeline/TimelineActionBar.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "presentation/views/timeline/TimelineRuler.h"
#include "support/AnthropicEvents.h"
#include "support/ForeignMedia.h"
#include "support/LoopbackServer.h"
#include "support/media/FrameAt.h"
#include "support/media/MovieMaker.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

using namespace std::chrono_literals;

namespace vexel::journeys {

namespace {

constexpr int kClipFrames = 90;
constexpr int kClipRate = 30;

// The level of the grey left half of a test movie's 640x360 frame, away from
// its corner mark and the edges.
double greyLevel(const media::PixelBuffer& frame) {
    return vexel::testing::meanLevel(frame, 40, 40, 280, 320);
}

// The assistant's reply to the title: one add_text call, then, after the
// tool's result, a closing sentence.
void scriptTitleReply(test::LoopbackServer& backend) {
    using namespace test::anthropic;
    backend.enqueue(test::ScriptedResponse::eventStream().write(
        messageStart() + toolCall(0, "toolu_01", "add_text", {{"target", "Hello"}}) +
        messageEnd("tool_use")));
    backend.enqueue(test::ScriptedResponse::eventStream().write(
        textReply("I added the title \"Hello\".", "end_turn")));
}

} // namespace

void editSession(const std::vector<std::string>& arguments) {
    ASSERT_EQ(arguments.size(), 5u) << "the media folder, the project folder, the exported file, "
                                       "the shown project's and the second exported file";
    const std::filesystem::path media = arguments[0];
    const std::filesystem::path folder = arguments[1];
    const std::filesystem::path movie = arguments[2];
    const std::filesystem::path shownFile = arguments[3];
    const std::filesystem::path secondMovie = arguments[4];

    std::unique_ptr<AppController> app;
    ASSERT_NO_FATAL_FAILURE(startPastWelcome(app));
    MainWindow& window = app->window();

    auto* panel = window.findChild<TimelinePanel*>();
    ASSERT_NE(panel, nullptr) << "the window shows no timeline";
    EditorGraph& graph = *app->editorGraph();
    TimelineViewModel& timeline = graph.timelineViewModel();
    auto videoClips = [&] { return timeline.project().videoClips(); };

    // 1. The two clips, dropped one after the other, follow each other.
    dropFiles(*panel, {fileUrl(media / "first.mp4")});
    ASSERT_TRUE(
        waitUntil([&] { return timeline.importingCount() == 0 && videoClips().size() == 1; }));
    dropFiles(*panel, {fileUrl(media / "second.mp4")});
    ASSERT_TRUE(
        waitUntil([&] { return timeline.importingCount() == 0 && videoClips().size() == 2; }));
    const Clip first = videoClips()[0];
    const Clip second = videoClips()[1];
    EXPECT_EQ(first.assetName, "first.mp4");
    EXPECT_EQ(second.assetName, "second.mp4");
    EXPECT_DOUBLE_EQ(first.timeRange.startTime, 0);
    EXPECT_DOUBLE_EQ(second.timeRange.startTime, first.timeRange.duration);
    waitForPreview(*app);
    test::saveScreen(window, QStringLiteral("journey-1-dropped.png"));

    // 2. The first clip selected, the playhead put at 1.5 s on the ruler, and
    // the clip split there.
    DraggableClipBar* bar = barOf(*panel, first.id);
    ASSERT_NE(bar, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->rect().center());
    ASSERT_TRUE(waitUntil([&] { return timeline.selectedClipId() == first.id; }));
    TimelineRuler* ruler = panel->content()->ruler();
    const int x = int(std::lround(1.5 / ruler->displayDuration() * ruler->width()));
    QTest::mouseClick(ruler, Qt::LeftButton, {}, QPoint(x, ruler->height() / 2));
    const PreviewViewModel& preview = graph.previewViewModel();
    ASSERT_TRUE(waitUntil([&] { return std::abs(preview.currentTime() - 1.5) < 0.05; }))
        << "the playhead is at " << preview.currentTime();
    activate(window);
    QTest::keyClick(&window, Qt::Key_B, Qt::ControlModifier);
    ASSERT_TRUE(waitUntil([&] { return videoClips().size() == 3; })) << "the clip was not split";
    EXPECT_NEAR(videoClips()[0].timeRange.duration, preview.currentTime(), 1e-9);
    waitForPreview(*app);
    test::saveScreen(window, QStringLiteral("journey-2-split.png"));

    // 3. A title asked for in the chat.
    auto* chat = window.findChild<InstructionInputView*>();
    ASSERT_NE(chat, nullptr) << "the window shows no chat";
    QLineEdit* input = chat->inputField();
    QTest::mouseClick(input, Qt::LeftButton);
    QTest::keyClicks(input, QStringLiteral("Add the title Hello"));
    QTest::keyClick(input, Qt::Key_Return);
    InstructionViewModel& instructions = graph.instructionViewModel();
    ASSERT_TRUE(waitUntil([&] {
        return !instructions.currentTask() && timeline.project().textClips().size() == 1;
    })) << "the title did not arrive";
    EXPECT_EQ(timeline.project().textClips().front().assetName, "Hello");
    waitForPreview(*app);
    test::saveScreen(window, QStringLiteral("journey-3-title.png"));

    // 4. Undone from the action bar, as one step.
    QTest::mouseClick(panel->actionBar()->undoButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return timeline.project().textClips().empty(); }));
    EXPECT_EQ(videoClips().size(), 3u);
    waitForPreview(*app);
    test::saveScreen(window, QStringLiteral("journey-4-undone.png"));

    // 5. Exported as MP4 into a file the user names.
    chooseFromMenu(*panel->actionBar()->exportButton(), QStringLiteral("Export as .mp4"));
    QFileDialog* exportPanel = waitForFilePanel(QStringLiteral("Save Exported Video"));
    ASSERT_NE(exportPanel, nullptr);
    answerFilePanel(*exportPanel, movie);
    const ExportCoordinator& exports = instructions.exportCoordinator();
    ASSERT_TRUE(waitUntil([&] {
        return std::filesystem::exists(movie) && !exports.exportSaveRequest() &&
               !exports.exportProgress();
    })) << "the export was not saved";
    test::saveScreen(window, QStringLiteral("journey-5-exported.png"));

    // 6. A phone's WebM and a PAL camera's anamorphic clip dropped after them:
    // each takes its whole length, the preview turns 16:9 as the PAL clip is
    // shown, and the whole is exported as MP4 again.
    dropFiles(*panel, {fileUrl(media / "phone.webm")});
    ASSERT_TRUE(
        waitUntil([&] { return timeline.importingCount() == 0 && videoClips().size() == 4; }));
    dropFiles(*panel, {fileUrl(media / "pal.mp4")});
    ASSERT_TRUE(
        waitUntil([&] { return timeline.importingCount() == 0 && videoClips().size() == 5; }));
    EXPECT_NEAR(videoClips()[3].timeRange.duration, 2.0, 0.02);
    EXPECT_NEAR(videoClips()[4].timeRange.duration, 1.2, 0.02);
    waitForPreview(*app);
    EXPECT_EQ(preview.videoSize(), (media::Size{1024, 576}));
    test::saveScreen(window, QStringLiteral("journey-6-foreign.png"));
    chooseFromMenu(*panel->actionBar()->exportButton(), QStringLiteral("Export as .mp4"));
    exportPanel = waitForFilePanel(QStringLiteral("Save Exported Video"));
    ASSERT_NE(exportPanel, nullptr);
    answerFilePanel(*exportPanel, secondMovie);
    ASSERT_TRUE(waitUntil([&] {
        return std::filesystem::exists(secondMovie) && !exports.exportSaveRequest() &&
               !exports.exportProgress();
    })) << "the second export was not saved";

    // 7. Saved with Ctrl+S into a new folder, then with Save As over that
    // same folder: asked first, then replaced in place.
    ASSERT_NO_FATAL_FAILURE(saveWithKeys(window, folder));
    writeProject(timeline.project(), shownFile);
    test::saveScreen(window, QStringLiteral("journey-7-saved.png"));
    ASSERT_NO_FATAL_FAILURE(saveAsOverWithKeys(window, folder));

    // 8. Ctrl+Q on the saved document asks nothing and ends the event loop,
    // as main() runs it, with 0.
    EXPECT_EQ(quitWithKeys(window), std::optional(0));
}

void reopenSession(const std::vector<std::string>& arguments) {
    ASSERT_EQ(arguments.size(), 2u) << "the project folder and the file of its project";
    const std::filesystem::path folder = arguments[0];
    const Project saved = readProject(arguments[1]);

    std::unique_ptr<AppController> app = startEditor(folder);
    ASSERT_NO_FATAL_FAILURE(expectReopened(*app, folder, saved));
    test::saveScreen(app->window(), QStringLiteral("journey-8-reopened.png"));
}

namespace {

TEST(EditExportSaveJourney, ClipsSplitTitledUndoneExportedWithForeignMediaSavedAndReopened) {
    const JourneyHome home;
    const std::filesystem::path media = home / "media";
    std::filesystem::create_directories(media);
    const vexel::testing::TestMovie clipFormat{
        .width = 640, .height = 360, .frameRate = kClipRate, .frameCount = kClipFrames};
    vexel::testing::writeTestMovie(media / "first.mp4", clipFormat);
    vexel::testing::writeTestMovie(media / "second.mp4", clipFormat);
    const std::filesystem::path folder = home / "home" / "Journey.vexel";
    const std::filesystem::path movie = home / "home" / "journey.mp4";
    const std::filesystem::path shownFile = home / "shown-project.json";
    const std::filesystem::path secondMovie = home / "home" / "journey-foreign.mp4";
    // 2 s of VP9 and Opus in WebM, and 1.2 s of PAL 16:9 (720 x 576 pixels
    // of 64:45) in MPEG-4, as a phone and a camera write them.
    vexel::testing::writeForeignMedia(
        media / "phone.webm",
        {.container = "webm",
         .video =
             vexel::testing::ForeignVideo{.encoder = "libvpx-vp9",
                                          .frameCount = 50,
                                          .options = {{"deadline", "realtime"}, {"cpu-used", "8"}}},
         .audio = vexel::testing::ForeignAudio{.encoder = "libopus", .seconds = 2.0}});
    vexel::testing::writeForeignMedia(
        media / "pal.mp4",
        {.container = "mp4",
         .video = vexel::testing::ForeignVideo{.width = 720,
                                               .height = 576,
                                               .frameCount = 30,
                                               .aspectNumerator = 64,
                                               .aspectDenominator = 45,
                                               .options = {{"preset", "ultrafast"}}},
         .audio = vexel::testing::ForeignAudio{.seconds = 1.2}});

    test::LoopbackServer backend;
    scriptTitleReply(backend);

    ChildSession editing(editSessionStep,
                         {argument(media), argument(folder), argument(movie), argument(shownFile),
                          argument(secondMovie)},
                         home.environment(backend.baseURL()));
    ASSERT_TRUE(editing.succeeds(180s)) << "the editing session's checks failed";
    // The tool call and, after its result, the closing reply.
    EXPECT_EQ(backend.requestCount(), 2u);

    const media::Asset exported = media::Asset::load(movie);
    EXPECT_NEAR(exported.duration.seconds(), 6.0, 1.0 / kClipRate);
    const std::optional<media::AssetTrack> picture = exported.firstTrack(media::MediaType::video);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->naturalSize, (media::Size{640, 360}));
    EXPECT_TRUE(exported.firstTrack(media::MediaType::audio));
    // 4.5 s is 1.5 s into the second clip: its frame 45, whose left half is
    // grey at that frame's level. Each pass through an encoder's colour
    // conversion may take a level off, while frames next to each other lie
    // four levels apart: the export is held to the clip's own frame as
    // decoded, and that to its level.
    const double sourceLevel =
        greyLevel(vexel::testing::frameAt(media / "second.mp4", 45.0 / kClipRate));
    EXPECT_NEAR(sourceLevel, vexel::testing::testFrameLevel(45), 1.5);
    EXPECT_NEAR(greyLevel(vexel::testing::frameAt(movie, 4.5)), sourceLevel, 1.5);

    // The second export: the five clips end to end, at the shape the PAL
    // clip is shown in.
    const media::Asset foreign = media::Asset::load(secondMovie);
    EXPECT_NEAR(foreign.duration.seconds(), 6.0 + 2.0 + 1.2, 0.05);
    const std::optional<media::AssetTrack> foreignPicture =
        foreign.firstTrack(media::MediaType::video);
    ASSERT_TRUE(foreignPicture);
    EXPECT_EQ(foreignPicture->naturalSize, (media::Size{1024, 576}));
    EXPECT_EQ(foreignPicture->pixelAspectNumerator, foreignPicture->pixelAspectDenominator);

    reopenSavedFolder(home, reopenSessionStep, folder, shownFile);
}

} // namespace

} // namespace vexel::journeys
