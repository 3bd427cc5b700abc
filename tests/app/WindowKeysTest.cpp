// Keys and clicks on the application's own window, as a person gives them:
// a text field keeps the keys it types with, a click on the timeline or the
// picture hands the keys back to the project, and a selected overlay takes
// only its own plain keys.

#include "app/AppHarness.h"
#include "presentation/support/Keyboard.h"
#include "presentation/support/Pointer.h"
#include "presentation/views/chat/BubbleText.h"
#include "presentation/views/chat/ChatBubble.h"
#include "presentation/views/chat/ChatHistoryView.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/inspectors/TextInspectorHost.h"
#include "presentation/views/inspectors/TextInspectorPopover.h"
#include "presentation/views/preview/PreviewOverlayWidget.h"
#include "presentation/views/preview/PreviewPlayerView.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/shell/MainWindow.h"
#include "presentation/views/shell/MainWindowCommands.h"
#include "presentation/views/timeline/DraggableClipBar.h"
#include "presentation/views/timeline/TextOverlayBar.h"
#include "presentation/views/timeline/TextOverlayRow.h"
#include "presentation/views/timeline/TimelineActionBar.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "presentation/views/timeline/TimelineRuler.h"
#include "presentation/views/timeline/TrackLanesView.h"
#include "presentation/views/timeline/TrackRow.h"
#include "support/AnthropicEvents.h"
#include "support/LoopbackServer.h"
#include "support/RunEventsUntil.h"
#include "support/media/MovieMaker.h"
#include <QMenu>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vexel;
using namespace vexel::test;
using vexel::testing::runEventsUntil;

namespace {

// The application as the program starts it, its window shown and active,
// driven only by keys and clicks.
struct KeysHarness {
    explicit KeysHarness(std::optional<std::string> backend = std::nullopt) {
        if (backend) {
            app.variables["VEXEL_BACKEND_URL"] = *backend;
        }
        app.launch();
        // A first run welcomes with the tutorial over the whole window.
        window().mainView()->tutorialHooks().skip();
        settle();
        window().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
    }

    MainWindow& window() { return app.app->window(); }
    EditorGraph& graph() { return app.graph(); }
    TimelineViewModel& timeline() { return graph().timelineViewModel(); }
    QLineEdit& field() { return *window().mainView()->chatColumn().inputField(); }
    TimelinePanel& timelinePanel() {
        return dynamic_cast<TimelinePanel&>(window().mainView()->timelinePane());
    }
    TrackLanesView& lanes() { return *timelinePanel().content()->lanes(); }
    PreviewPlayerView& preview() {
        return dynamic_cast<PreviewPlayerView&>(window().mainView()->previewPane());
    }

    Uuid addMovie(const std::string& name, double start) { return app.addMovie(name, start); }

    // Lets the window's pause after a change pass, and waits for the preview
    // to show the project.
    void rebuildPreview() {
        app.time->advance(std::chrono::milliseconds(250));
        ASSERT_TRUE(runEventsUntil([&] { return graph().previewViewModel().hasContent(); }));
        settle();
    }

    // A key as the user presses it, then the edit or task it started.
    void press(QKeyCombination keys) {
        test::press(window(), keys);
        settleEdits();
    }

    void click(QWidget& widget, QPoint at) {
        Pointer(widget).click(at);
        settleEdits();
    }
    void click(QWidget& widget) { click(widget, widget.rect().center()); }

    void settleEdits() {
        settle();
        if (const std::optional<TaskHandle>& task = window().commands().lastTask()) {
            awaitTask(task->finished());
        }
        // Edits started from the views (a nudge, a scale step) land in turn.
        awaitTask(timeline().holdEdits());
        settle();
    }

    QWidget& barOf(const Uuid& clipId) {
        for (QWidget* row : lanes().rows()) {
            if (auto* track = dynamic_cast<TrackRow*>(row)) {
                if (DraggableClipBar* bar = track->bar(clipId)) {
                    return *bar;
                }
            }
        }
        TextOverlayRow* text = lanes().textRow();
        if (text != nullptr && text->bar(clipId) != nullptr) {
            return *text->bar(clipId);
        }
        throw std::runtime_error("no bar of the clip");
    }

    std::vector<Uuid> videoClipIds() {
        std::vector<Uuid> ids;
        for (const Clip& clip : timeline().project().videoClips()) {
            ids.push_back(clip.id);
        }
        return ids;
    }

    std::size_t titles() { return timeline().project().textClips().size(); }

    // Types `instruction` where the keys are, sends it with Return and waits
    // for the assistant's reply to end with `reply`.
    void sendInstruction(const QString& instruction, const std::string& reply) {
        InstructionViewModel& instructions = graph().instructionViewModel();
        type(window(), instruction);
        press(QKeyCombination(Qt::Key_Return));
        ASSERT_TRUE(runEventsUntil([&] {
            return !instructions.currentTask() && !instructions.chatHistory().messages().empty() &&
                   instructions.chatHistory().messages().back().content() == reply;
        }));
        settle();
    }

    AppHarness app;
};

TEST(WindowKeysTest, TheChatFieldKeepsItsTypingKeysAndAClickOnTheTimelineOrPictureGivesThemBack) {
    KeysHarness harness;
    const Uuid first = harness.addMovie("first.mp4", 0);
    const Uuid second = harness.addMovie("second.mp4", 5);
    harness.app.edit(addTitle(3));
    harness.rebuildPreview();
    const std::vector<Uuid> both{first, second};
    QLineEdit& field = harness.field();
    PreviewViewModel& preview = harness.graph().previewViewModel();

    // Typing about the selected clip: word-wise erasing, Space, Backspace,
    // Delete and the typing's own undo stay in the field.
    harness.click(harness.barOf(second));
    EXPECT_EQ(harness.timeline().selectedClipId(), second);
    harness.click(field);
    ASSERT_TRUE(field.hasFocus());
    type(harness.window(), "cut the end");
    harness.press(Qt::CTRL | Qt::Key_Backspace);
    EXPECT_EQ(field.text().toStdString(), "cut the ");
    harness.press(QKeyCombination(Qt::Key_Home));
    harness.press(Qt::CTRL | Qt::Key_Delete);
    EXPECT_EQ(field.text().toStdString(), "the ");
    harness.press(QKeyCombination(Qt::Key_End));
    harness.press(QKeyCombination(Qt::Key_Space));
    harness.press(QKeyCombination(Qt::Key_Backspace));
    harness.press(QKeyCombination(Qt::Key_Backspace));
    harness.press(QKeyCombination(Qt::Key_Delete));
    EXPECT_EQ(field.text().toStdString(), "the");
    harness.press(Qt::CTRL | Qt::Key_Z);
    EXPECT_NE(field.text().toStdString(), "the");
    harness.press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(field.text().toStdString(), "the");
    EXPECT_EQ(harness.videoClipIds(), both);
    EXPECT_EQ(harness.titles(), 1u);
    EXPECT_EQ(harness.timeline().selectedClipId(), second);
    EXPECT_FALSE(preview.isPlaying());

    // A click on the clip's bar takes the keys to the project.
    harness.click(harness.barOf(second));
    EXPECT_FALSE(field.hasFocus());
    harness.press(QKeyCombination(Qt::Key_Delete));
    EXPECT_EQ(harness.videoClipIds(), std::vector<Uuid>{first});
    harness.press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(harness.videoClipIds(), both);
    harness.press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(harness.videoClipIds(), std::vector<Uuid>{first});
    harness.press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(harness.videoClipIds(), both);
    EXPECT_EQ(field.text().toStdString(), "the");

    // So does a click on every other part of the timeline and on the
    // picture, while the field still has typing of its own to undo: Ctrl+Z
    // and Ctrl+Shift+Z step the project's history, Space plays.
    const Uuid title = harness.timeline().project().textClips().front().id;
    // At 2 s of the 10 s laid out: between the first clip and the title, and
    // before the end of the content, where playing can start.
    const auto beside = [](QWidget& lane) { return QPoint(lane.width() / 5, lane.height() / 2); };
    const struct {
        const char* name;
        std::function<QWidget&()> widget;
        std::function<QPoint(QWidget&)> at;
    } targets[] = {
        {"the ruler", [&]() -> QWidget& { return *harness.timelinePanel().content()->ruler(); },
         [](QWidget& ruler) { return QPoint(20, ruler.height() / 2); }},
        {"a lane beside the bars",
         [&]() -> QWidget& { return *harness.barOf(first).parentWidget(); }, beside},
        {"a bar", [&]() -> QWidget& { return harness.barOf(first); },
         [](QWidget& bar) { return bar.rect().center(); }},
        {"the text lane", [&]() -> QWidget& { return *harness.lanes().textRow(); }, beside},
        {"a title's bar", [&]() -> QWidget& { return harness.barOf(title); },
         [](QWidget& bar) { return bar.rect().center(); }},
        {"the picture", [&]() -> QWidget& { return harness.preview().overlay(); },
         [](QWidget&) { return QPoint(20, 20); }},
    };
    for (const auto& target : targets) {
        SCOPED_TRACE(target.name);
        harness.click(field);
        ASSERT_TRUE(field.hasFocus());
        QWidget& widget = target.widget();
        harness.click(widget, target.at(widget));
        EXPECT_FALSE(field.hasFocus());
        ASSERT_TRUE(field.isUndoAvailable());
        harness.press(Qt::CTRL | Qt::Key_Z);
        EXPECT_EQ(harness.titles(), 0u);
        harness.press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        EXPECT_EQ(harness.titles(), 1u);
        harness.press(QKeyCombination(Qt::Key_Space));
        EXPECT_TRUE(runEventsUntil([&] { return preview.isPlaying(); }));
        harness.press(QKeyCombination(Qt::Key_Space));
        EXPECT_TRUE(runEventsUntil([&] { return !preview.isPlaying(); }));
        EXPECT_EQ(harness.videoClipIds(), both);
        EXPECT_EQ(field.text().toStdString(), "the");
    }
}

// The assistant's reply to an instruction: one title, then a closing line.
void scriptTitleReply(LoopbackServer& backend) {
    using namespace anthropic;
    backend.enqueue(ScriptedResponse::eventStream().write(
        messageStart() + toolCall(0, "toolu_01", "add_text", {{"target", "Hello"}}) +
        messageEnd("tool_use")));
    backend.enqueue(
        ScriptedResponse::eventStream().write(textReply("I added \"Hello\".", "end_turn")));
}

TEST(WindowKeysTest, UndoInTheChatFieldStepsTheProjectOnceTheFieldHasNoTypingToUndo) {
    LoopbackServer backend;
    scriptTitleReply(backend);
    KeysHarness harness(backend.baseURL());
    InstructionViewModel& instructions = harness.graph().instructionViewModel();
    QLineEdit& field = harness.field();

    // A fresh field has nothing to undo: the keys reach the project.
    harness.app.edit(addTitle(0));
    harness.click(field);
    harness.press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(harness.titles(), 0u);
    harness.press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(harness.titles(), 1u);

    // Sent, the field empties and keeps the focus; Ctrl+Z takes back the
    // instruction's whole batch and Ctrl+Shift+Z puts it back.
    ASSERT_NO_FATAL_FAILURE(
        harness.sendInstruction(QStringLiteral("Add the title Hello"), "I added \"Hello\"."));
    EXPECT_EQ(harness.titles(), 2u);
    EXPECT_EQ(field.text().toStdString(), "");
    ASSERT_TRUE(field.hasFocus());
    harness.press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(harness.titles(), 1u);
    harness.press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(harness.titles(), 2u);

    // New typing is the field's to undo and redo first.
    type(harness.window(), "ab");
    harness.press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(field.text().toStdString(), "");
    EXPECT_EQ(harness.titles(), 2u);
    harness.press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(field.text().toStdString(), "ab");
    EXPECT_EQ(harness.titles(), 2u);
    EXPECT_EQ(instructions.instructionText(), "ab");
}

TEST(WindowKeysTest, AChatBubblesTextKeepsThePlainEditingKeysFromTheProjectButNotUndo) {
    LoopbackServer backend;
    scriptTitleReply(backend);
    KeysHarness harness(backend.baseURL());
    const Uuid clip = harness.addMovie("first.mp4", 0);
    harness.rebuildPreview();
    PreviewViewModel& preview = harness.graph().previewViewModel();

    // A reply in the chat, and the clip selected on the timeline.
    harness.click(harness.field());
    ASSERT_NO_FATAL_FAILURE(
        harness.sendInstruction(QStringLiteral("Add the title Hello"), "I added \"Hello\"."));
    ASSERT_EQ(harness.titles(), 1u);
    harness.click(harness.barOf(clip));
    ASSERT_EQ(harness.timeline().selectedClipId(), clip);

    // A few words of the reply drag-selected: its text takes the keys.
    const std::vector<ChatBubble*> bubbles =
        harness.window().mainView()->chatColumn().historyView()->bubbles();
    ASSERT_EQ(bubbles.size(), 2u);
    BubbleText& reply = *bubbles.back()->textView();
    const int middle = reply.height() / 2;
    Pointer(reply).drag({{BubbleText::horizontalPadding + 1, middle},
                         {reply.width() / 3, middle},
                         {reply.width() * 2 / 3, middle}});
    harness.settleEdits();
    ASSERT_TRUE(reply.hasFocus());
    const QString selected = reply.selectedText();
    ASSERT_FALSE(selected.isEmpty());
    ASSERT_NE(selected, reply.text()) << "a few words, not the whole reply";

    // Plain Delete, Backspace and Space do nothing, to the project or the
    // selection.
    const Project project = harness.timeline().project();
    for (const QKeyCombination key :
         {QKeyCombination(Qt::Key_Delete), QKeyCombination(Qt::Key_Backspace),
          QKeyCombination(Qt::Key_Space)}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        harness.press(key);
        EXPECT_EQ(harness.timeline().project(), project);
        EXPECT_EQ(harness.timeline().selectedClipId(), clip);
        EXPECT_FALSE(preview.isPlaying());
        EXPECT_TRUE(reply.hasFocus());
        EXPECT_EQ(reply.selectedText(), selected);
    }

    // Ctrl+C copies the words.
    QApplication::clipboard()->clear();
    harness.press(Qt::CTRL | Qt::Key_C);
    EXPECT_EQ(QApplication::clipboard()->text(), selected);

    // The text has no typing to undo: the undo keys step the project.
    harness.press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(harness.titles(), 0u);
    harness.press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(harness.titles(), 1u);
    EXPECT_TRUE(reply.hasFocus());

    // A click on the clip's bar gives the keys back to the project.
    harness.click(harness.barOf(clip));
    harness.press(QKeyCombination(Qt::Key_Delete));
    EXPECT_TRUE(harness.videoClipIds().empty());
}

TEST(WindowKeysTest, ASelectedOverlayTakesOnlyItsPlainKeys) {
    KeysHarness harness;
    harness.addMovie("first.mp4", 0);
    harness.app.edit(addTitle(0));
    harness.rebuildPreview();
    const auto title = [&] { return harness.timeline().project().textClips().front(); };
    const Clip before = title();
    const Uuid titleId = before.id;
    PreviewOverlayWidget& overlay = harness.preview().overlay();

    // Chosen on the text lane while typing: the overlay takes the keys.
    harness.click(harness.field());
    harness.click(harness.barOf(titleId));
    EXPECT_EQ(harness.timeline().selectedClipId(), titleId);
    EXPECT_TRUE(overlay.hasFocus());

    // With Ctrl, Alt or Meta a key is the window's: the timeline zooms, and
    // the title neither shrinks, grows nor moves.
    const double zoom = harness.timeline().zoomLevel();
    harness.press(Qt::CTRL | Qt::Key_Minus);
    EXPECT_LT(harness.timeline().zoomLevel(), zoom);
    harness.press(Qt::CTRL | Qt::Key_Plus);
    EXPECT_DOUBLE_EQ(harness.timeline().zoomLevel(), zoom);
    harness.press(Qt::CTRL | Qt::Key_Equal);
    EXPECT_GT(harness.timeline().zoomLevel(), zoom);
    for (const QKeyCombination keys : {Qt::ALT | Qt::Key_Left, Qt::META | Qt::Key_Right,
                                       Qt::CTRL | Qt::Key_Up, Qt::ALT | Qt::Key_Minus}) {
        harness.press(keys);
    }
    EXPECT_EQ(title(), before);
    harness.press(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(harness.titles(), 0u) << "no step of the history was spent on the keys";
    harness.press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    ASSERT_EQ(harness.titles(), 1u);

    // Plain, they are the overlay's.
    harness.click(harness.barOf(titleId));
    ASSERT_TRUE(overlay.hasFocus());
    harness.press(QKeyCombination(Qt::Key_Minus));
    ASSERT_TRUE(title().textScale.has_value());
    EXPECT_DOUBLE_EQ(*title().textScale, 0.9);
    harness.press(QKeyCombination(Qt::Key_Right));
    const Clip moved = title();
    EXPECT_NE(moved.textPosition, before.textPosition);

    // A click on the picture beside it ends the selection: the picture keeps
    // the focus, and the keys no longer move what was selected.
    harness.click(overlay, {4, 4});
    EXPECT_EQ(harness.timeline().selectedClipId(), std::nullopt);
    EXPECT_TRUE(overlay.hasFocus());
    harness.press(QKeyCombination(Qt::Key_Right));
    harness.press(QKeyCombination(Qt::Key_Minus));
    EXPECT_EQ(title(), moved);
}

} // namespace

// Space, Backspace, Delete, their Ctrl and Shift chords and undo are bound in
// the menus too; in a text field they edit the text and never the project.
// The forms over the window (adding a text, the text inspector) are popups,
// which keep every key of the window's menus from the project while open.
TEST(WindowKeysTest, EveryTextFieldKeepsItsEditingKeysFromTheMenusShortcuts) {
    KeysHarness harness;
    harness.addMovie("first.mp4", 0);
    const Uuid second = harness.addMovie("second.mp4", 5);
    harness.app.edit(addTitle(0));
    harness.rebuildPreview();
    const Uuid title = harness.timeline().project().textClips().front().id;
    PreviewOverlayWidget& overlay = harness.preview().overlay();
    const auto focused = [] { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); };

    const struct {
        const char* name;
        // Puts the focus in the field as a user would, with a clip selected.
        std::function<void()> open;
    } fields[] = {
        {"the chat field",
         [&] {
             harness.click(harness.barOf(second));
             harness.click(harness.field());
         }},
        {"the add-text form",
         [&] {
             harness.click(harness.barOf(second));
             harness.timelinePanel().actionBar()->addMenu()->actions()[1]->trigger();
             settle();
         }},
        {"the text inspector",
         [&] {
             QRectF text;
             for (const auto& drawn : overlay.drawnOverlays()) {
                 if (drawn.clipId == title) {
                     text = drawn.placement.outline().boundingRect();
                 }
             }
             harness.click(overlay, text.center().toPoint());
             QLineEdit* field = harness.preview().textInspector().form()->textField();
             harness.click(*field);
         }},
    };
    for (const auto& field : fields) {
        SCOPED_TRACE(field.name);
        field.open();
        QLineEdit* edit = focused();
        ASSERT_NE(edit, nullptr);
        QWidget& keys = *edit->window();
        edit->selectAll();
        type(keys, "one two");
        edit->setCursorPosition(0);
        const Project project = harness.timeline().project();
        const std::optional<Uuid> selected = harness.timeline().selectedClipId();
        ASSERT_TRUE(selected);
        const double zoom = harness.timeline().zoomLevel();
        for (const QKeyCombination key :
             {QKeyCombination(Qt::Key_Delete), Qt::CTRL | Qt::Key_Delete,
              QKeyCombination(Qt::Key_End), QKeyCombination(Qt::Key_Space),
              QKeyCombination(Qt::Key_Backspace), Qt::SHIFT | Qt::Key_Backspace,
              Qt::CTRL | Qt::Key_Backspace, Qt::CTRL | Qt::Key_Z,
              Qt::CTRL | Qt::SHIFT | Qt::Key_Z}) {
            const QString before = edit->text();
            test::press(keys, key);
            harness.settleEdits();
            ASSERT_EQ(focused(), edit) << key.toCombined();
            if (key.key() != Qt::Key_End) {
                EXPECT_NE(edit->text().toStdString(), before.toStdString()) << key.toCombined();
            }
        }
        EXPECT_EQ(harness.timeline().project(), project);
        EXPECT_EQ(harness.timeline().selectedClipId(), selected);
        EXPECT_EQ(harness.timeline().zoomLevel(), zoom);
        EXPECT_FALSE(harness.graph().previewViewModel().isPlaying());

        // Escape closes a form; the chat field keeps the focus.
        if (QApplication::activePopupWidget() != nullptr) {
            test::press(keys, QKeyCombination(Qt::Key_Escape));
            settle();
            EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        }
    }
}
