#include "presentation/views/inspectors/TextInspectorHost.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/InspectorProbe.h"
#include "presentation/support/RecordingPreview.h"
#include "presentation/viewmodels/PreviewRebuilder.h"
#include "presentation/views/inspectors/TextInspectorPopover.h"
#include "presentation/views/kit/EditRunner.h"
#include "presentation/views/kit/IconRegistry.h"
#include "support/RunEventsUntil.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

using namespace vexel;
using namespace std::chrono_literals;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;
using vexel::testing::runEventsUntil;

namespace {

// The host over an area standing for the preview, its clicks answered the way
// the window answers the preview's: selections on the timeline, edits and
// deletes through the real edit engine, and the preview rebuilt a pause after
// each change, on injected time.
struct TextInspectorHostTest : ::testing::Test {
    TextInspectorHostTest() {
        area.resize(800, 450);
        area.show();
        const EditRunner runner(harness.banner, harness.time, harness.logger);
        host.setActions({[this](std::optional<Uuid> id) {
                             calls.push_back(host.form() ? "select, open" : "select, closed");
                             if (id) {
                                 harness.timeline.selectClip(*id);
                             } else {
                                 harness.timeline.setSelectedClipId(std::nullopt);
                             }
                         },
                         [this, runner](std::vector<EditCommand> commands) {
                             calls.push_back("edit " + std::to_string(commands.size()));
                             edits.push_back(commands);
                             runner.runEdit(
                                 [this, commands]() -> QCoro::Task<void> {
                                     co_await harness.timeline.executeCommands(commands);
                                 },
                                 "Failed to edit text");
                         },
                         [this, runner](const Uuid& id) {
                             calls.push_back(host.form() ? "delete, open" : "delete, closed");
                             runner.runEdit(
                                 [this, id]() -> QCoro::Task<void> {
                                     co_await harness.timeline.executeCommand(
                                         EditCommand::RemoveClip{id});
                                 },
                                 "Failed to delete text");
                         }});
    }

    // What the preview would list: the project's texts as they are now.
    std::vector<Clip> texts() const { return harness.timeline.project().tracks[0].clips; }

    const Clip* stored(const Uuid& id) const { return harness.timeline.project().findClip(id); }

    const Clip first = makeClip(0, 4, TrackType::text, "First");
    const Clip second = makeClip(5, 4, TrackType::text, "Second");
    test::ConversationHarness harness{
        Project({makeTrack(TrackType::text, "Text", {first, second})}, 3600)};
    test::RecordingPreview builds;
    PreviewRebuilder rebuilder{harness.timeline, builds.preview, harness.logger,
                               harness.time->sleepAction()};
    QSignalSpy loads{&builds.preview, &PreviewViewModel::loadingTaskChanged};
    QWidget area;
    IconRegistry icons{harness.logger};
    TextInspectorHost host{area, icons};
    std::vector<std::string> calls;
    std::vector<std::vector<EditCommand>> edits;
};

} // namespace

TEST_F(TextInspectorHostTest, AClickOnATextOpensAFreshFormAndAnyOtherClickClosesIt) {
    const Project before = harness.timeline.project();
    host.select(first.id, texts());
    ASSERT_NE(host.form(), nullptr);
    EXPECT_TRUE(host.form()->isVisible());
    EXPECT_EQ(host.form()->state().originalClip().id, first.id);
    EXPECT_EQ(harness.timeline.selectedClipId(), first.id);

    // The same text again: a fresh form, its edits dropped.
    host.form()->state().setText("Edited");
    TextInspectorPopover* open = host.form();
    host.select(first.id, texts());
    EXPECT_NE(host.form(), open);
    EXPECT_EQ(host.form()->state().text(), "First");
    host.select(second.id, texts());
    EXPECT_EQ(host.form()->state().text(), "Second");
    EXPECT_EQ(harness.timeline.selectedClipId(), second.id);

    // A click beside every text, or on one no longer listed, closes it; the
    // timeline hears of the same id.
    host.select(std::nullopt, texts());
    EXPECT_EQ(host.form(), nullptr);
    EXPECT_EQ(harness.timeline.selectedClipId(), std::nullopt);
    host.select(first.id, texts());
    const Uuid gone = Uuid::random();
    host.select(gone, texts());
    EXPECT_EQ(host.form(), nullptr);

    // Escape closes it and reports nothing more.
    host.select(second.id, texts());
    QTest::keyClick(host.form(), Qt::Key_Escape);
    EXPECT_EQ(host.form(), nullptr);
    test::settle();
    EXPECT_EQ(calls, (std::vector<std::string>{"select, open", "select, open", "select, open",
                                               "select, closed", "select, open", "select, closed",
                                               "select, open"}));
    EXPECT_EQ(harness.timeline.project(), before) << "clicks edit nothing";
    EXPECT_EQ(loads.count(), 0);
}

TEST_F(TextInspectorHostTest, ApplyAndDeleteEditTheProjectAndTheTextShowsAPauseLater) {
    host.select(first.id, texts());
    test::pick(test::menu(*host.form(), "Font size"), QStringLiteral("96"));
    host.form()->applyButton()->click();
    EXPECT_EQ(host.form(), nullptr) << "closed on Apply";
    ASSERT_EQ(edits.size(), 1u);
    ASSERT_EQ(edits[0].size(), 1u);
    EXPECT_TRUE(edits[0][0].is<EditCommand::EditText>());
    ASSERT_TRUE(runEventsUntil([&] { return stored(first.id)->textStyle.has_value(); }));
    test::settle();
    EXPECT_EQ(stored(first.id)->textStyle->fontSize, 96);
    EXPECT_EQ(harness.banner.currentError(), std::nullopt);

    // One rebuild, once the pause after the edit has passed.
    harness.time->advance(190ms);
    EXPECT_EQ(loads.count(), 0);
    harness.time->advance(20ms);
    EXPECT_EQ(loads.count(), 1);
    ASSERT_TRUE(builds.preview.loadingTask());
    test::awaitTask(builds.preview.loadingTask()->finished());
    ASSERT_EQ(builds.builtProjects().size(), 1u);
    EXPECT_EQ(builds.builtProjects()[0], harness.timeline.project());

    // One undo step takes it back.
    harness.timeline.undo();
    test::settle();
    EXPECT_EQ(*stored(first.id), first);
    EXPECT_FALSE(harness.timeline.canUndo());

    // Delete closes the form before the clip is asked to go.
    host.select(second.id, texts());
    host.form()->deleteButton()->click();
    EXPECT_EQ(host.form(), nullptr);
    ASSERT_TRUE(runEventsUntil([&] { return stored(second.id) == nullptr; }));
    test::settle();
    EXPECT_EQ(harness.banner.currentError(), std::nullopt);
    // The undo and the delete came within one pause: one rebuild, of both.
    harness.time->advance(210ms);
    ASSERT_TRUE(builds.preview.loadingTask());
    test::awaitTask(builds.preview.loadingTask()->finished());
    ASSERT_EQ(builds.builtProjects().size(), 2u);
    EXPECT_EQ(builds.builtProjects()[1], harness.timeline.project());
    EXPECT_EQ(calls, (std::vector<std::string>{"select, open", "edit 1", "select, open",
                                               "delete, closed"}));
}
