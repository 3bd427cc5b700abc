// Everyday editing with the keys, as a person does it on the running editor:
// typing about a selected clip, deleting and undoing, taking back what the
// assistant did from the emptied chat field, copying words of its reply,
// closing the text inspector with one click beside it, saving over the
// project's own folder, splitting at the playhead without losing the spot,
// zooming by clicks at one spot, and a clip clicked where it stood while an
// error banner comes and goes; all on a desktop whose GTK settings turn
// animations off.
#include "app/screenshots/ScreenGrab.h"
#include "journeys/ChildSession.h"
#include "journeys/Drive.h"
#include "journeys/JourneySteps.h"
#include "journeys/PrivateHome.h"
#include "journeys/SavedFolder.h"
#include "platform/desktop/GnomeAnimationSetting.h"
#include "presentation/support/Keyboard.h"
#include "presentation/support/Pointer.h"
#include "presentation/views/banner/ErrorBannerView.h"
#include "presentation/views/chat/BubbleText.h"
#include "presentation/views/chat/ChatBubble.h"
#include "presentation/views/chat/ChatHistoryView.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/inspectors/TextInspectorHost.h"
#include "presentation/views/inspectors/TextInspectorPopover.h"
#include "presentation/views/kit/Motion.h"
#include "presentation/views/preview/PreviewOverlayWidget.h"
#include "presentation/views/preview/PreviewPlayerView.h"
#include "presentation/views/preview/TransportBar.h"
#include "presentation/views/preview/VideoSurface.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/timeline/TextOverlayBar.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelineRuler.h"
#include "presentation/views/timeline/TrackLanesView.h"
#include "support/AnthropicEvents.h"
#include "support/LoopbackServer.h"
#include "support/media/MovieMaker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>

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

// The X server's own pointer, moved and pressed through its test extension
// (xdotool), as a person's hand moves the mouse: the events take the window
// system's whole path, a popup's hold on the pointer included. Each step
// waits until the server has moved the pointer, not for the editor.
void pointerDoes(const QStringList& steps) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), steps);
    ASSERT_TRUE(waitUntil([&] { return xdotool.state() == QProcess::NotRunning; }, 10s))
        << "xdotool did not end";
    ASSERT_EQ(xdotool.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(xdotool.exitCode(), 0)
        << "xdotool failed (is it installed?): " << xdotool.readAllStandardError().toStdString();
}

// Moves the pointer from `from` to `to`. Waiting for the move would never
// end where the pointer is there already.
QStringList pointerTo(QPoint to, QPoint from = QCursor::pos()) {
    QStringList move{QStringLiteral("mousemove")};
    if (to != from) {
        move += QStringLiteral("--sync");
    }
    return move + QStringList{QString::number(to.x()), QString::number(to.y())};
}

// A quick click at `global`, press and release a moment apart.
void xClick(QPoint global) {
    ASSERT_NO_FATAL_FAILURE(pointerDoes(pointerTo(global) + QStringList{"click", "1"}));
    test::settle();
}

// A press at the first point, moves through the others, a release at the
// last.
void xDrag(std::initializer_list<QPoint> path) {
    QStringList steps = pointerTo(*path.begin()) + QStringList{"mousedown", "1"};
    for (auto at = path.begin() + 1; at != path.end(); ++at) {
        steps += pointerTo(*at, *(at - 1));
    }
    steps += QStringList{"mouseup", "1"};
    ASSERT_NO_FATAL_FAILURE(pointerDoes(steps));
    test::settle();
}

// GTK's settings file of the journey's desktop, saying whether to animate.
void writeGtkAnimations(const std::filesystem::path& file, bool animate) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::trunc)
        << "[Settings]\ngtk-enable-animations=" << (animate ? "true" : "false") << "\n";
}

std::filesystem::path gtkSettingsFile(const std::filesystem::path& configHome) {
    return configHome / "gtk-3.0" / "settings.ini";
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

    // 0. A desktop as most are: GNOME's schema and the dconf backend there,
    // their animations at the default (on), and the GTK settings file turning
    // them off. Motion is reduced from the start, and follows the file.
    ASSERT_NE(desktop::GnomeAnimationSetting::open(), nullptr)
        << "GNOME's interface schema and the dconf backend are not installed";
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(configHome, nullptr);
    const std::filesystem::path gtkFile = gtkSettingsFile(configHome);
    EXPECT_TRUE(reduceMotion()) << "the GTK settings file's animations=false was ignored";
    writeGtkAnimations(gtkFile, true);
    EXPECT_TRUE(waitUntil([] { return !reduceMotion(); }, 10s)) << "animations=true not followed";
    writeGtkAnimations(gtkFile, false);
    EXPECT_TRUE(waitUntil([] { return reduceMotion(); }, 10s)) << "animations=false not followed";

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

    // 4. A few words of the reply drag-selected with the clip selected: the
    // reply's text has the keys, and Delete, Backspace and Space leave the
    // project alone; Ctrl+C copies the words; Ctrl+Shift+Z still redoes the
    // instruction.
    PreviewViewModel& preview = graph.previewViewModel();
    clickOn(*barOf(*panel, clip.id));
    ASSERT_TRUE(waitUntil([&] { return timeline.selectedClipId() == clip.id; }));
    const std::vector<ChatBubble*> bubbles =
        window.mainView()->chatColumn().historyView()->bubbles();
    ASSERT_EQ(bubbles.size(), 2u) << "the instruction and its reply";
    BubbleText& reply = *bubbles.back()->textView();
    const int line = reply.height() / 2;
    ASSERT_NO_FATAL_FAILURE(
        xDrag({reply.mapToGlobal(QPoint(BubbleText::horizontalPadding + 1, line)),
               reply.mapToGlobal(QPoint(reply.width() / 3, line)),
               reply.mapToGlobal(QPoint(reply.width() * 2 / 3, line))}));
    ASSERT_TRUE(waitUntil([&] { return reply.hasFocus() && !reply.selectedText().isEmpty(); }))
        << "dragging over the reply selected nothing";
    const QString words = reply.selectedText();
    EXPECT_NE(words, reply.text()) << "a few words, not the whole reply";
    for (const QKeyCombination key :
         {QKeyCombination(Qt::Key_Delete), QKeyCombination(Qt::Key_Backspace),
          QKeyCombination(Qt::Key_Space)}) {
        test::press(window, key);
    }
    // Whatever the keys started would have shown by now.
    waitUntil([&] { return !shows(clip.id) || preview.isPlaying(); }, 1s);
    EXPECT_TRUE(shows(clip.id)) << "a key in the chat's reply removed the clip";
    EXPECT_EQ(videoClips(), std::vector{clip});
    EXPECT_FALSE(preview.isPlaying()) << "Space in the chat's reply started playback";
    EXPECT_EQ(timeline.selectedClipId(), clip.id);
    EXPECT_EQ(reply.selectedText(), words);
    test::saveScreen(window, QStringLiteral("journey-everyday-3-reply-words-selected.png"));
    QApplication::clipboard()->clear();
    test::press(window, Qt::CTRL | Qt::Key_C);
    EXPECT_TRUE(waitUntil([&] { return QApplication::clipboard()->text() == words; }, 5s))
        << "Ctrl+C did not copy the selected words";
    test::press(window, Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    ASSERT_TRUE(
        waitUntil([&] { return shownTextBars(*panel) == 1 && videoClips().size() == 2; }, 10s))
        << "Ctrl+Shift+Z in the reply did not redo the instruction";

    // 5. The title clicked on the picture opens its inspector; one quick
    // click on the picture beside it closes the inspector and clears the
    // selection. Opened again, one click on the lanes' background closes it,
    // moves the playhead there and clears the selection. Both clicks come
    // from the X server's pointer, while the inspector holds it.
    waitForPreview(*app);
    auto& view = dynamic_cast<PreviewPlayerView&>(window.mainView()->previewPane());
    PreviewOverlayWidget& overlay = view.overlay();
    ASSERT_TRUE(waitUntil([&] { return overlay.drawnOverlays().size() == 1; }, 10s))
        << "the title does not show on the picture";
    const Uuid title = textClips().front().id;
    const QPoint onTitle = overlay.mapToGlobal(
        overlay.drawnOverlays().front().placement.outline().boundingRect().center().toPoint());
    const auto openInspector = [&](const char* screenshot) {
        ASSERT_NO_FATAL_FAILURE(xClick(onTitle));
        ASSERT_TRUE(waitUntil([&] { return view.textInspector().form() != nullptr; }, 10s))
            << "a click on the title opened no inspector";
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.textInspector().form()->window()));
        ASSERT_EQ(timeline.selectedClipId(), title);
        if (screenshot != nullptr) {
            test::saveScreen(window, QString::fromUtf8(screenshot));
        }
    };
    const auto inspectorClosed = [&] {
        return view.textInspector().form() == nullptr &&
               QApplication::activePopupWidget() == nullptr;
    };
    ASSERT_NO_FATAL_FAILURE(openInspector("journey-everyday-4-inspector-open.png"));
    const QRect popup = view.textInspector().form()->window()->frameGeometry();
    const QRectF picture = overlay.contentRect();
    const QPoint besideTitle =
        overlay.mapToGlobal(QPoint(int(picture.left()) + 8, int(picture.center().y())));
    ASSERT_FALSE(popup.contains(besideTitle)) << "the inspector covers the picture's left edge";
    ASSERT_NO_FATAL_FAILURE(xClick(besideTitle));
    EXPECT_TRUE(waitUntil([&] { return inspectorClosed() && !timeline.selectedClipId(); }, 10s))
        << "one click beside the inspector left "
        << (inspectorClosed() ? "the title selected" : "the inspector open");
    test::saveScreen(window,
                     QStringLiteral("journey-everyday-5-inspector-closed-by-one-click.png"));

    ASSERT_NO_FATAL_FAILURE(openInspector(nullptr));
    // The bottom lane, an empty audio lane, wherever the inspector leaves it
    // in sight.
    TrackLanesView& lanes = *panel->content()->lanes();
    QPoint onLanes;
    for (const double share : {0.9, 0.75, 0.6, 0.45}) {
        onLanes = lanes.mapToGlobal(QPoint(int(lanes.width() * share), lanes.height() - 4));
        if (!popup.contains(onLanes)) {
            break;
        }
    }
    ASSERT_FALSE(popup.contains(onLanes)) << "the inspector covers the lanes";
    const double seconds = timeline.displayDuration() / lanes.width();
    const double aimed = lanes.mapFromGlobal(onLanes).x() * seconds;
    ASSERT_NO_FATAL_FAILURE(xClick(onLanes));
    EXPECT_TRUE(waitUntil([&] { return inspectorClosed() && !timeline.selectedClipId(); }, 10s))
        << "one click on the lanes left "
        << (inspectorClosed() ? "the title selected" : "the inspector open");
    EXPECT_NEAR(preview.currentTime(), aimed, 2 * seconds) << "the click did not seek there";

    // Undone again, back to the clip as dropped.
    test::press(window, Qt::CTRL | Qt::Key_Z);
    ASSERT_TRUE(waitUntil([&] { return shownTextBars(*panel) == 0 && shows(clip.id); }, 10s))
        << "Ctrl+Z after the clicks did not undo the instruction";
    EXPECT_EQ(videoClips(), std::vector{clip});

    // 6. Saved with Save As over the folder it was saved in: asked, Replace,
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

    // 7. The clip selected, and the playhead scrubbed along the ruler: pressed
    // at the start, dragged past 2 s and back, released on the frame at 2 s,
    // aimed at the middle of that frame.
    DraggableClipBar* bar = barOf(*panel, clip.id);
    ASSERT_NE(bar, nullptr);
    clickOn(*bar);
    ASSERT_TRUE(waitUntil([&] { return timeline.selectedClipId() == clip.id; }));
    TimelineRuler* ruler = panel->content()->ruler();
    const auto onRuler = [&](double seconds) {
        return QPoint(int(std::lround(seconds / ruler->displayDuration() * ruler->width())),
                      ruler->height() / 2);
    };
    const double aim = 2.0 + 0.5 / kClipRate;
    const QPoint at = onRuler(aim);
    ASSERT_TRUE(ruler->visibleRegion().contains(at)) << "2 s lies out of sight on the ruler";
    test::Pointer scrub(*ruler);
    scrub.press(onRuler(0.1));
    EXPECT_NEAR(preview.currentTime(), 0.1, 0.05) << "the press on the ruler did not seek";
    for (double seconds : {0.6, 1.2, 2.5, 2.8}) {
        scrub.moveTo(onRuler(seconds));
        EXPECT_NEAR(preview.currentTime(), seconds, 0.05) << "the drag on the ruler lags";
    }
    scrub.moveTo(at).release(at);
    test::settle();
    ASSERT_TRUE(waitUntil([&] { return showsFrameAt(preview, twoSeconds); }, 10s))
        << "the playhead is at " << preview.currentTime() << " s";
    playhead = preview.currentTime();
    ASSERT_GE(playhead, 2.0);
    ASSERT_LT(playhead, 2.0 + 1.0 / kClipRate);
    expectAtTwoSeconds("scrubbed on the ruler");

    // 8. Split with Ctrl+B: the clip is cut at the playhead, and the rebuilt
    // preview stays there.
    std::optional<TaskHandle> loaded = preview.loadingTask();
    test::press(window, Qt::CTRL | Qt::Key_B);
    ASSERT_TRUE(waitUntil([&] { return timeline.project().videoClips().size() == 2; }, 10s))
        << "the clip was not split";
    EXPECT_DOUBLE_EQ(timeline.project().videoClips().front().timeRange.duration, playhead);
    ASSERT_NO_FATAL_FAILURE(waitForReload(*app, loaded, twoSeconds));
    expectAtTwoSeconds("split");
    test::saveScreen(window, QStringLiteral("journey-everyday-6-split-at-playhead.png"));

    // 9. Undone with Ctrl+Z: the clip is whole again, and the playhead still
    // where it was.
    loaded = preview.loadingTask();
    test::press(window, Qt::CTRL | Qt::Key_Z);
    ASSERT_TRUE(waitUntil([&] { return timeline.project().videoClips().size() == 1; }, 10s))
        << "the split was not undone";
    EXPECT_EQ(timeline.project().videoClips(), std::vector{clip});
    ASSERT_NO_FATAL_FAILURE(waitForReload(*app, loaded, twoSeconds));
    expectAtTwoSeconds("undone");

    // 10. "+" clicked three times where it first stood zooms in step by
    // step, and "-" clicked three times where it stood zooms back to 1:1:
    // neither moves as the reset comes and goes.
    const auto centreOf = [](const QWidget& widget) {
        return widget.mapToGlobal(widget.rect().center());
    };
    const QPoint zoomIn = centreOf(*panel->zoomInButton());
    const QPoint zoomOut = centreOf(*panel->zoomOutButton());
    for (const auto& [spot, zoom] :
         {std::pair{zoomIn, 1.25}, std::pair{zoomIn, 1.5625}, std::pair{zoomIn, 1.953125},
          std::pair{zoomOut, 1.5625}, std::pair{zoomOut, 1.25}, std::pair{zoomOut, 1.0}}) {
        ASSERT_NO_FATAL_FAILURE(xClick(spot));
        EXPECT_DOUBLE_EQ(timeline.zoomLevel(), zoom) << "a click where a zoom button stood";
        EXPECT_EQ(centreOf(*panel->zoomInButton()), zoomIn);
        EXPECT_EQ(centreOf(*panel->zoomOutButton()), zoomOut);
        if (zoom == 1.953125) {
            test::saveScreen(window, QStringLiteral("journey-everyday-7-zoomed-at-one-spot.png"));
        }
    }
    EXPECT_FALSE(panel->resetZoomButton()->isVisible());

    // 11. With the clip selected and the playhead put after it, Ctrl+B
    // cannot split it and the banner says so: the ruler and the clip stay
    // where they were, a click on the lanes and one aimed at the clip from
    // before land where aimed, and the banner's × takes it away without
    // moving them either.
    const auto places = [&] {
        test::settle();
        const DraggableClipBar* shown = barOf(*panel, clip.id);
        return std::pair(ruler->mapToGlobal(QPoint(0, 0)),
                         shown ? QRect(shown->mapToGlobal(QPoint(0, 0)), shown->size()) : QRect());
    };
    const auto before = places();
    ASSERT_FALSE(before.second.isEmpty());
    ASSERT_NO_FATAL_FAILURE(xClick(before.second.center()));
    ASSERT_TRUE(waitUntil([&] { return timeline.selectedClipId() == clip.id; }, 10s));
    ASSERT_NO_FATAL_FAILURE(xClick(ruler->mapToGlobal(onRuler(8))));
    ASSERT_TRUE(waitUntil([&] { return preview.currentTime() > 7; }, 10s));
    ASSERT_EQ(timeline.selectedClipId(), clip.id);
    test::press(window, Qt::CTRL | Qt::Key_B);
    auto* banner = window.findChild<ErrorBannerView*>();
    ASSERT_NE(banner, nullptr);
    ASSERT_TRUE(waitUntil([&] { return banner->isVisible(); }, 10s)) << "no banner came";
    EXPECT_EQ(banner->messageText().toStdString(), "Cannot split clip here");
    EXPECT_EQ(places(), before) << "the banner moved the timeline";
    test::saveScreen(window, QStringLiteral("journey-everyday-8-banner-over-the-header.png"));
    TrackLanesView& lanes = *panel->content()->lanes();
    ASSERT_NO_FATAL_FAILURE(
        xClick(lanes.mapToGlobal(QPoint(lanes.width() * 3 / 4, lanes.height() - 4))));
    ASSERT_TRUE(waitUntil([&] { return !timeline.selectedClipId(); }, 10s));
    ASSERT_NO_FATAL_FAILURE(xClick(before.second.center()));
    EXPECT_TRUE(waitUntil([&] { return timeline.selectedClipId() == clip.id; }, 10s))
        << "the click aimed at the clip missed it";
    ASSERT_NO_FATAL_FAILURE(xClick(centreOf(*banner->dismissButton())));
    ASSERT_TRUE(waitUntil([&] { return banner->isHidden(); }, 10s));
    EXPECT_EQ(places(), before) << "the banner's going moved the timeline";
    EXPECT_EQ(timeline.project().videoClips(), std::vector{clip});
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

    // GNOME's schema from the system, its values from a dconf database of the
    // journey's own (none: the defaults), and a GTK settings file that turns
    // animations off.
    writeGtkAnimations(gtkSettingsFile(home / "config"), false);
    const std::filesystem::path dconfProfile = home / "dconf-profile";
    std::ofstream(dconfProfile) << "user-db:user\n";
    QProcessEnvironment environment = home.environment(backend.baseURL());
    for (const char* variable :
         {"VEXEL_REDUCE_MOTION", "GSETTINGS_BACKEND", "GSETTINGS_SCHEMA_DIR"}) {
        environment.remove(QString::fromUtf8(variable));
    }
    environment.insert(QStringLiteral("DCONF_PROFILE"), argument(dconfProfile));

    ChildSession editing(everydaySessionStep,
                         {argument(clipFile), argument(folder), argument(shownFile)}, environment);
    ASSERT_TRUE(editing.succeeds(180s)) << "the editing session's checks failed";
    // The two tool calls and, after their results, the closing reply.
    EXPECT_EQ(backend.requestCount(), 2u);

    reopenSavedFolder(home, everydayReopenedStep, folder, shownFile);
}

} // namespace

} // namespace vexel::journeys
