// Everyday editing with the keys, as a person does it on the running editor:
// typing about a selected clip, deleting and undoing, taking back what the
// assistant did from the emptied chat field, saving over the project's own
// folder, and splitting at the playhead without losing the spot.
#include "app/screenshots/ScreenGrab.h"
#include "journeys/ChildSession.h"
#include "journeys/Drive.h"
#include "journeys/JourneySteps.h"
#include "journeys/PrivateHome.h"
#include "journeys/SavedFolder.h"
#include "presentation/support/Keyboard.h"
#include "presentation/support/Pointer.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/preview/PreviewPlayerView.h"
#include "presentation/views/preview/TransportBar.h"
#include "presentation/views/preview/VideoSurface.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/timeline/TextOverlayBar.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelineRuler.h"
#include "support/AnthropicEvents.h"
#include "support/LoopbackServer.h"
#include "support/media/MovieMaker.h"

#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

using namespace std::chrono_literals;

namespace vexel::journeys {

namespace {

constexpr int kClipRate = 30;
constexpr const char* kClipName = "beach.mp4";
constexpr const char* kClosingReply = "I split the clip at 1 s and added the title \"Hello\".";

// The assistant's answer to the instruction: two edits in one reply, then,
// after their results, a closing sentence.
void scriptSplitAndTitleReply(test::LoopbackServer& backend) {
    using namespace test::anthropic;
    backend.enqueue(test::ScriptedResponse::eventStream().write(
        messageStart() + toolCall(0, "toolu_01", "split_clip", {{"target", kClipName}, {"at", 1}}) +
        toolCall(1, "toolu_02", "add_text", {{"target", "Hello"}}) + messageEnd("tool_use")));
    backend.enqueue(
        test::ScriptedResponse::eventStream().write(textReply(kClosingReply, "end_turn")));
}

// A click through the window system, in the middle of `widget`.
void clickOn(QWidget& widget) {
    test::Pointer(widget).click(widget.rect().center());
    test::settle();
}

int shownTextBars(const TimelinePanel& panel) {
    int shown = 0;
    for (const TextOverlayBar* bar : panel.findChildren<TextOverlayBar*>()) {
        shown += bar->isVisible() ? 1 : 0;
    }
    return shown;
}

// The grey level that the screen shows in the left half of the picture, away
// from the test movie's corner mark and from the transport bar at the bottom:
// the level of the frame on screen.
double shownLevel(const VideoSurface& surface) {
    test::settle();
    const QRectF picture = surface.contentRect();
    const QRect probe(QPoint(int(picture.left() + picture.width() / 8),
                             int(picture.top() + picture.height() / 4)),
                      QSize(int(picture.width() / 4), int(picture.height() / 4)));
    const QPoint onScreen = surface.mapToGlobal(probe.topLeft());
    const QImage grabbed =
        surface.screen()
            ->grabWindow(0, onScreen.x(), onScreen.y(), probe.width(), probe.height())
            .toImage();
    double sum = 0;
    for (int y = 0; y < grabbed.height(); ++y) {
        for (int x = 0; x < grabbed.width(); ++x) {
            sum += qRed(grabbed.pixel(x, y));
        }
    }
    const double pixels = double(grabbed.width()) * grabbed.height();
    return pixels > 0 ? sum / pixels : -1;
}

bool showsFrameAt(const PreviewViewModel& preview, const media::MediaTime& time) {
    const auto& frame = preview.player().currentVideoFrame();
    return frame && frame->time == time;
}

// Waits until the preview has loaded the project anew, after the load
// `before`, and shows the frame at `time`.
void waitForReload(const AppController& app, const std::optional<TaskHandle>& before,
                   const media::MediaTime& time) {
    const PreviewViewModel& preview = app.editorGraph()->previewViewModel();
    ASSERT_TRUE(waitUntil([&] { return preview.loadingTask() != before; }, 10s))
        << "the preview did not rebuild";
    ASSERT_NO_FATAL_FAILURE(waitForPreview(app));
    ASSERT_TRUE(waitUntil([&] { return showsFrameAt(preview, time); }, 10s))
        << "the rebuilt preview does not show the frame at " << time.seconds() << " s";
}

} // namespace

void everydaySession(const std::vector<std::string>& arguments) {
    ASSERT_EQ(arguments.size(), 3u) << "the clip, the project folder and the shown project's file";
    const std::filesystem::path clipFile = arguments[0];
    const std::filesystem::path folder = arguments[1];
    const std::filesystem::path shownFile = arguments[2];

    std::unique_ptr<AppController> app;
    ASSERT_NO_FATAL_FAILURE(startPastWelcome(app));
    MainWindow& window = app->window();
    auto* panel = window.findChild<TimelinePanel*>();
    ASSERT_NE(panel, nullptr) << "the window shows no timeline";
    EditorGraph& graph = *app->editorGraph();
    const TimelineViewModel& timeline = graph.timelineViewModel();
    QLineEdit& field = *window.mainView()->chatColumn().inputField();
    const auto videoClips = [&] { return timeline.project().videoClips(); };
    const auto textClips = [&] { return timeline.project().textClips(); };
    const auto shows = [&](const Uuid& clipId) { return barOf(*panel, clipId) != nullptr; };

    // The clip dropped on the timeline, and the project saved into a new
    // folder.
    ASSERT_NO_FATAL_FAILURE(dropFiles(*panel, {fileUrl(clipFile)}));
    ASSERT_TRUE(
        waitUntil([&] { return timeline.importingCount() == 0 && videoClips().size() == 1; }));
    EXPECT_EQ(videoClips().front().assetName, kClipName);
    waitForPreview(*app);
    ASSERT_NO_FATAL_FAILURE(saveWithKeys(window, folder));
    // As saved: its media now in the folder.
    const Clip clip = videoClips().front();
    activate(window);

    // 1. An instruction typed about the selected clip: Ctrl+Backspace erases
    // its last word, and the clip stays.
    clickOn(*barOf(*panel, clip.id));
    ASSERT_TRUE(waitUntil([&] { return timeline.selectedClipId() == clip.id; }));
    clickOn(field);
    ASSERT_TRUE(field.hasFocus()) << "a click on the chat field did not put the keys there";
    test::type(window, QStringLiteral("Split it at 1 s and add the title Hello there"));
    test::press(window, Qt::CTRL | Qt::Key_Backspace);
    test::settle();
    const QString typed = QStringLiteral("Split it at 1 s and add the title Hello ");
    EXPECT_EQ(field.text().toStdString(), typed.toStdString());
    EXPECT_TRUE(shows(clip.id)) << "Ctrl+Backspace in the chat field removed the clip";
    EXPECT_EQ(videoClips(), std::vector{clip});
    EXPECT_EQ(timeline.selectedClipId(), clip.id);
    test::saveScreen(window, QStringLiteral("journey-everyday-1-typing.png"));

    // 2. A click on the clip's bar gives the keys back to the project: Delete
    // removes the clip, Ctrl+Z brings it back; the typing waits in the field.
    clickOn(*barOf(*panel, clip.id));
    EXPECT_FALSE(field.hasFocus());
    test::press(window, QKeyCombination(Qt::Key_Delete));
    ASSERT_TRUE(waitUntil([&] { return !shows(clip.id); }, 10s)) << "Delete left the clip";
    EXPECT_TRUE(videoClips().empty());
    test::press(window, Qt::CTRL | Qt::Key_Z);
    ASSERT_TRUE(waitUntil([&] { return shows(clip.id); }, 10s)) << "Ctrl+Z did not bring it back";
    EXPECT_EQ(videoClips(), std::vector{clip});
    EXPECT_EQ(field.text().toStdString(), typed.toStdString());

    // 3. The instruction sent with Return: the assistant's two edits arrive
    // together; Ctrl+Z, with the keys still in the emptied field, takes both
    // back as one step.
    clickOn(field);
    ASSERT_TRUE(field.hasFocus());
    test::press(window, QKeyCombination(Qt::Key_Return));
    InstructionViewModel& instructions = graph.instructionViewModel();
    ASSERT_TRUE(waitUntil([&] {
        const auto& messages = instructions.chatHistory().messages();
        return !instructions.currentTask() && !messages.empty() &&
               messages.back().content() == kClosingReply;
    })) << "the assistant's reply did not arrive";
    ASSERT_TRUE(waitUntil([&] { return shownTextBars(*panel) == 1; }, 10s));
    ASSERT_EQ(videoClips().size(), 2u);
    ASSERT_EQ(textClips().size(), 1u);
    EXPECT_EQ(textClips().front().assetName, "Hello");
    EXPECT_EQ(field.text().toStdString(), "");
    ASSERT_TRUE(field.hasFocus());
    test::press(window, Qt::CTRL | Qt::Key_Z);
    ASSERT_TRUE(waitUntil([&] { return shownTextBars(*panel) == 0 && shows(clip.id); }, 10s))
        << "Ctrl+Z in the emptied field did not undo the instruction";
    EXPECT_EQ(videoClips(), std::vector{clip}) << "one step back is the clip as dropped";
    EXPECT_TRUE(textClips().empty());
    EXPECT_TRUE(field.hasFocus());
    waitForPreview(*app);
    test::saveScreen(window, QStringLiteral("journey-everyday-2-instruction-undone.png"));

    // 4. Saved with Save As over the folder it was saved in: asked, Replace,
    // saved there.
    EXPECT_TRUE(graph.mainViewModel().isDirty());
    ASSERT_NO_FATAL_FAILURE(saveAsOverWithKeys(window, folder));
    writeProject(timeline.project(), shownFile);
    EXPECT_EQ(quitWithKeys(window), std::optional(0));
}

void everydayReopened(const std::vector<std::string>& arguments) {
    ASSERT_EQ(arguments.size(), 2u) << "the project folder and the file of its project";
    const std::filesystem::path folder = arguments[0];
    const Project saved = readProject(arguments[1]);
    ASSERT_EQ(saved.videoClips().size(), 1u);
    const Clip clip = saved.videoClips().front();

    std::unique_ptr<AppController> app = startEditor(folder);
    ASSERT_NO_FATAL_FAILURE(expectReopened(*app, folder, saved));
    MainWindow& window = app->window();
    activate(window);
    auto* panel = window.findChild<TimelinePanel*>();
    ASSERT_NE(panel, nullptr) << "the window shows no timeline";
    const TimelineViewModel& timeline = app->editorGraph()->timelineViewModel();
    const PreviewViewModel& preview = app->editorGraph()->previewViewModel();
    auto& view = dynamic_cast<PreviewPlayerView&>(window.mainView()->previewPane());
    const media::MediaTime twoSeconds(2, 1);
    double playhead = 0;
    const auto expectAtTwoSeconds = [&](const char* step) {
        SCOPED_TRACE(step);
        EXPECT_EQ(preview.currentTime(), playhead);
        EXPECT_EQ(view.transportBar().timeText(), QStringLiteral("0:02"));
        EXPECT_NEAR(shownLevel(view.surface()), vexel::testing::testFrameLevel(2 * kClipRate), 1.5);
    };

    // 5. The clip selected, and the playhead put on its frame at 2 s with a
    // click on the ruler, aimed at the middle of that frame.
    DraggableClipBar* bar = barOf(*panel, clip.id);
    ASSERT_NE(bar, nullptr);
    clickOn(*bar);
    ASSERT_TRUE(waitUntil([&] { return timeline.selectedClipId() == clip.id; }));
    TimelineRuler* ruler = panel->content()->ruler();
    const double aim = 2.0 + 0.5 / kClipRate;
    const QPoint at(int(std::lround(aim / ruler->displayDuration() * ruler->width())),
                    ruler->height() / 2);
    ASSERT_TRUE(ruler->visibleRegion().contains(at)) << "2 s lies out of sight on the ruler";
    test::Pointer(*ruler).click(at);
    ASSERT_TRUE(waitUntil([&] { return showsFrameAt(preview, twoSeconds); }, 10s))
        << "the playhead is at " << preview.currentTime() << " s";
    playhead = preview.currentTime();
    ASSERT_GE(playhead, 2.0);
    ASSERT_LT(playhead, 2.0 + 1.0 / kClipRate);
    expectAtTwoSeconds("put on the ruler");

    // 6. Split with Ctrl+B: the clip is cut at the playhead, and the rebuilt
    // preview stays there.
    std::optional<TaskHandle> loaded = preview.loadingTask();
    test::press(window, Qt::CTRL | Qt::Key_B);
    ASSERT_TRUE(waitUntil([&] { return timeline.project().videoClips().size() == 2; }, 10s))
        << "the clip was not split";
    EXPECT_DOUBLE_EQ(timeline.project().videoClips().front().timeRange.duration, playhead);
    ASSERT_NO_FATAL_FAILURE(waitForReload(*app, loaded, twoSeconds));
    expectAtTwoSeconds("split");
    test::saveScreen(window, QStringLiteral("journey-everyday-3-split-at-playhead.png"));

    // 7. Undone with Ctrl+Z: the clip is whole again, and the playhead still
    // where it was.
    loaded = preview.loadingTask();
    test::press(window, Qt::CTRL | Qt::Key_Z);
    ASSERT_TRUE(waitUntil([&] { return timeline.project().videoClips().size() == 1; }, 10s))
        << "the split was not undone";
    EXPECT_EQ(timeline.project().videoClips(), std::vector{clip});
    ASSERT_NO_FATAL_FAILURE(waitForReload(*app, loaded, twoSeconds));
    expectAtTwoSeconds("undone");
}

namespace {

TEST(EverydayEditingJourney,
     KeysGoWhereMeantSavingOverTheFolderKeepsOneProjectAndEditsKeepThePlayhead) {
    const JourneyHome home;
    const std::filesystem::path clipFile = home / kClipName;
    vexel::testing::writeTestMovie(
        clipFile, {.width = 640, .height = 360, .frameRate = kClipRate, .frameCount = 90});
    const std::filesystem::path folder = home / "home" / "Everyday.vexel";
    const std::filesystem::path shownFile = home / "shown-project.json";

    test::LoopbackServer backend;
    scriptSplitAndTitleReply(backend);

    ChildSession editing(everydaySessionStep,
                         {argument(clipFile), argument(folder), argument(shownFile)},
                         home.environment(backend.baseURL()));
    ASSERT_TRUE(editing.succeeds(180s)) << "the editing session's checks failed";
    // The two tool calls and, after their results, the closing reply.
    EXPECT_EQ(backend.requestCount(), 2u);

    reopenSavedFolder(home, everydayReopenedStep, folder, shownFile);
}

} // namespace

} // namespace vexel::journeys
