#include "presentation/viewmodels/TimelineViewModel.h"

#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "domain/usecases/DefaultHandlers.h"
#include "foundation/CancellationError.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/GatedEdit.h"
#include "presentation/support/ManualTime.h"
#include "support/FakeExportService.h"
#include "support/FakeMediaLoader.h"
#include "support/RecordingLogger.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace vexel;
using namespace vexel::test;
using vexel::testing::FakeExportService;
using vexel::testing::FakeMediaLoader;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

EditCommand addText(double at, double duration = 1) {
    EditCommand::AddText add;
    add.text = "Title";
    add.at = at;
    add.duration = duration;
    return add;
}

// The timeline over the real edit engine and the real repository, wired as the
// application wires it: every synced project is stored in the repository.
struct TimelineViewModelTest : ::testing::Test {
    Clip first = makeClip(0, 5);
    Clip second = makeClip(5, 5);
    Project initial{{makeTrack(TrackType::video, "Video 1", {first, second})}, 3600};

    ManualTime time;
    std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
    std::shared_ptr<InMemoryProjectRepository> repository =
        std::make_shared<InMemoryProjectRepository>(initial);
    std::shared_ptr<FakeMediaLoader> mediaLoader = std::make_shared<FakeMediaLoader>();
    ErrorBannerViewModel banner{logger, time.sleepAction()};
    EditGate gate;
    std::unique_ptr<TimelineViewModel> timeline = makeTimeline();
    std::vector<Project> synced;

    std::unique_ptr<TimelineViewModel> makeTimeline() {
        auto executor =
            std::make_shared<DefaultEditCommandExecutor>(gate.engine(repository, mediaLoader));
        auto made = std::make_unique<TimelineViewModel>(repository->load(), banner,
                                                        WrappedEditCommandExecutor(executor));
        made->setOnProjectSync([this](const Project& project) {
            repository->save(project);
            synced.push_back(project);
        });
        return made;
    }

    void run(EditCommand command) { awaitTask(timeline->executeCommand(std::move(command))); }
    void runBatch(std::vector<EditCommand> commands) {
        awaitTask(timeline->executeCommands(std::move(commands)));
    }

    // The view, the repository and the last sync agree on `expected`.
    void expectShown(const Project& expected) {
        EXPECT_EQ(timeline->project(), expected);
        EXPECT_EQ(repository->load(), expected);
        ASSERT_FALSE(synced.empty());
        EXPECT_EQ(synced.back(), expected);
    }
};

template <class Action> void expectEditError(Action&& action, const EditError& expected) {
    try {
        action();
        ADD_FAILURE() << "expected: " << expected.userMessage();
    } catch (const EditError& error) {
        EXPECT_EQ(error, expected) << error.userMessage();
    }
}

} // namespace

TEST_F(TimelineViewModelTest, SixtyEditsAllowFiftyUndosAndRedoWalksBack) {
    std::vector<Project> states{timeline->project()};
    for (int n = 0; n < 60; ++n) {
        run(addText(n));
        states.push_back(timeline->project());
    }
    ASSERT_EQ(timeline->project().textClips().size(), 60u);
    QSignalSpy undoable(timeline.get(), &TimelineViewModel::canUndoChanged);
    for (int n = 0; n < 50; ++n) {
        timeline->undo();
    }
    EXPECT_FALSE(timeline->canUndo());
    EXPECT_TRUE(timeline->canRedo());
    EXPECT_EQ(undoable.count(), 1); // told once, when it became false
    expectShown(states[10]);        // the ten oldest steps fell out of the history

    const std::size_t syncs = synced.size();
    timeline->undo(); // the 51st
    EXPECT_EQ(synced.size(), syncs);
    EXPECT_EQ(timeline->project(), states[10]);

    timeline->redo();
    timeline->redo();
    expectShown(states[12]);
    EXPECT_TRUE(timeline->canUndo());
}

TEST_F(TimelineViewModelTest, ABatchIsOneUndoStepAndAFailedBatchChangesNothing) {
    QSignalSpy projectChanges(timeline.get(), &TimelineViewModel::projectChanged);
    runBatch({addText(0), addText(2), EditCommand::Move{first.id, 20, std::nullopt}});
    EXPECT_EQ(projectChanges.count(), 1);
    EXPECT_EQ(synced.size(), 1u);
    const Project afterBatch = timeline->project();
    EXPECT_EQ(afterBatch.textClips().size(), 2u);
    EXPECT_EQ(afterBatch.findClip(first.id)->timeRange.startTime, 20);

    timeline->undo();
    expectShown(initial);
    timeline->redo();
    expectShown(afterBatch);
    run(addText(10));
    timeline->undo();
    ASSERT_TRUE(timeline->canUndo());
    ASSERT_TRUE(timeline->canRedo());
    const Project beforeFailure = timeline->project();

    // The text would fit, the move would not: the whole batch fails.
    const Uuid missing = Uuid::random();
    const std::size_t syncs = synced.size();
    QSignalSpy undoable(timeline.get(), &TimelineViewModel::canUndoChanged);
    QSignalSpy redoable(timeline.get(), &TimelineViewModel::canRedoChanged);
    expectEditError(
        [&] {
            runBatch({addText(30), EditCommand::Move{missing, 1, std::nullopt}});
        },
        EditError::clipNotFound(missing));
    ASSERT_EQ(synced.size(), syncs + 1); // once, with the unchanged project
    expectShown(beforeFailure);
    EXPECT_TRUE(timeline->canUndo());
    EXPECT_TRUE(timeline->canRedo());
    EXPECT_EQ(undoable.count() + redoable.count(), 0);
    timeline->redo(); // the redo step survived the failure
    EXPECT_EQ(timeline->project().textClips().size(), 3u);

    // An empty batch asks nothing of the engine and tells no one.
    runBatch({});
    EXPECT_EQ(synced.size(), syncs + 2);
}

TEST_F(TimelineViewModelTest, FailedSingleEditsAndImportsChangeNothingAndTellNoOne) {
    run(addText(0));
    const Project before = timeline->project();
    const std::size_t syncs = synced.size();
    expectEditError(
        [&] {
            run(EditCommand::Move{first.id, 3, std::nullopt});
        },
        EditError::clipOverlap());
    EXPECT_THROW(awaitTask(timeline->addClip("/media/unknown.mov", TrackType::video, std::nullopt,
                                             std::nullopt)),
                 vexel::testing::FakeMediaError);
    EXPECT_EQ(synced.size(), syncs);
    EXPECT_EQ(timeline->project(), before);
    EXPECT_EQ(repository->load(), before);
    EXPECT_TRUE(timeline->canUndo());
    EXPECT_FALSE(timeline->canRedo());

    // A known file is one undo step, added where the engine puts it.
    mediaLoader->add("/media/holiday.mov", 4);
    awaitTask(timeline->addClip("/media/holiday.mov", TrackType::video, 30, "Holiday.mov"));
    EXPECT_EQ(synced.size(), syncs + 1);
    EXPECT_EQ(timeline->project().videoClips().size(), 3u);
    EXPECT_EQ(timeline->totalDuration(), 34);
    timeline->undo();
    expectShown(before);
}

TEST_F(TimelineViewModelTest, SelectionFollowsTheClipsAndClearsOnUndo) {
    QSignalSpy selection(timeline.get(), &TimelineViewModel::selectedClipIdChanged);
    awaitTask(timeline->splitSelectedClipAtPlayhead(2)); // nothing selected: nothing happens
    EXPECT_TRUE(synced.empty());

    timeline->selectClip(first.id);
    timeline->selectClip(first.id);
    timeline->selectClip(Uuid::random()); // unknown: keeps the selection
    EXPECT_EQ(timeline->selectedClipId(), first.id);
    EXPECT_EQ(selection.count(), 1);

    run(EditCommand::Opacity{first.id, 0.5}); // keeps the clip, keeps the selection
    EXPECT_EQ(timeline->selectedClipId(), first.id);
    // The split replaces the selected clip by two new ones.
    awaitTask(timeline->splitSelectedClipAtPlayhead(2));
    EXPECT_EQ(timeline->project().videoClips().size(), 3u);
    EXPECT_EQ(timeline->project().findClip(first.id), nullptr);
    EXPECT_FALSE(timeline->selectedClipId());

    timeline->selectClip(second.id);
    run(EditCommand::RemoveClip{second.id});
    EXPECT_FALSE(timeline->selectedClipId());
    timeline->selectClip(second.id); // the id of a removed clip
    EXPECT_FALSE(timeline->selectedClipId());

    const Uuid kept = timeline->project().videoClips().front().id;
    timeline->selectClip(kept);
    timeline->undo(); // the clip still exists, the selection goes all the same
    EXPECT_NE(timeline->project().findClip(kept), nullptr);
    EXPECT_FALSE(timeline->selectedClipId());
    timeline->selectClip(kept);
    timeline->redo();
    EXPECT_FALSE(timeline->selectedClipId());

    // Undo, undo, redo leaves one step to redo; a new edit forgets it.
    timeline->undo();
    timeline->undo();
    timeline->redo();
    EXPECT_TRUE(timeline->canRedo());
    timeline->redo();
    EXPECT_FALSE(timeline->canRedo());
    timeline->undo();
    run(addText(0));
    EXPECT_FALSE(timeline->canRedo());
}

TEST_F(TimelineViewModelTest, ZoomStepsStayWithinTheirBoundsAndTellOnlyChanges) {
    timeline->zoomIn();
    EXPECT_DOUBLE_EQ(timeline->zoomLevel(), 1.25);
    timeline->setZoomLevel(1.0);
    QSignalSpy zoom(timeline.get(), &TimelineViewModel::zoomLevelChanged);
    for (int n = 0; n < 11; ++n) {
        timeline->zoomIn();
    }
    EXPECT_EQ(timeline->zoomLevel(), 10.0);
    EXPECT_EQ(zoom.count(), 11);
    timeline->zoomIn();
    EXPECT_EQ(zoom.count(), 11); // already at the bound

    timeline->setZoomLevel(0.6);
    timeline->zoomOut();
    EXPECT_EQ(timeline->zoomLevel(), 0.5);
    timeline->setZoomLevel(20); // assignment is not clamped
    EXPECT_EQ(timeline->zoomLevel(), 20);
    timeline->zoomOut();
    EXPECT_EQ(timeline->zoomLevel(), 10.0);

    timeline->endImport();
    EXPECT_EQ(timeline->importingCount(), 0);
    timeline->setImportingCount(2);
    timeline->endImport();
    EXPECT_EQ(timeline->importingCount(), 1);
}

TEST_F(TimelineViewModelTest, DisplayDurationFollowsTheLastClip) {
    struct Case {
        double lastEnd; // 0: no clip at all
        double maxDuration;
        double expected;
    };
    for (const Case& c : {Case{0, 3600, 60}, Case{5, 3600, 10}, Case{100, 3600, 110},
                          Case{3500, 3600, 3600}, Case{5, 8, 8}}) {
        std::vector<Clip> clips;
        if (c.lastEnd > 0) {
            clips = {makeClip(0, 1), makeClip(c.lastEnd - 2, 2, TrackType::text, "Title")};
        }
        timeline->setProject(
            Project{{makeTrack(TrackType::video, "Video 1", clips)}, c.maxDuration});
        EXPECT_EQ(timeline->totalDuration(), c.lastEnd);
        EXPECT_NEAR(timeline->displayDuration(), c.expected, 1e-9) << c.lastEnd;
    }
}

TEST_F(TimelineViewModelTest, SetProjectStartsAFreshHistory) {
    run(addText(0));
    timeline->selectClip(first.id);
    ASSERT_TRUE(timeline->canUndo());
    const Project replacement = Project::makeNew();
    timeline->setProject(replacement);
    EXPECT_FALSE(timeline->canUndo());
    EXPECT_FALSE(timeline->canRedo());
    EXPECT_FALSE(timeline->selectedClipId());
    expectShown(replacement);
    EXPECT_EQ(timeline->totalDuration(), 0);
    timeline->undo();
    EXPECT_EQ(timeline->project(), replacement);
}

TEST_F(TimelineViewModelTest, TextOverlayMovesStayInsideTheTimeline) {
    run(addText(10, 4));
    const Uuid text = timeline->project().textClips().front().id;
    awaitTask(timeline->moveTextOverlay(text, -3));
    EXPECT_EQ(timeline->project().findClip(text)->timeRange, (TimeRange{0, 4}));
    awaitTask(timeline->moveTextOverlay(text, 5000));
    EXPECT_EQ(timeline->project().findClip(text)->timeRange, (TimeRange{3596, 4}));

    const std::size_t syncs = synced.size();
    awaitTask(timeline->moveTextOverlay(first.id, 1)); // not a text clip
    awaitTask(timeline->moveTextOverlay(Uuid::random(), 1));
    EXPECT_EQ(synced.size(), syncs);

    awaitTask(timeline->moveClip(second.id, 20));
    EXPECT_EQ(timeline->project().findClip(second.id)->timeRange.startTime, 20);
}

TEST_F(TimelineViewModelTest, EditsAskedForTogetherReachTheEngineOneAfterAnother) {
    // Asked for before any of them has ended: each must start from the project
    // the one before it synced, or an addition would be lost, and each must be
    // its own undo step.
    std::vector<QCoro::Task<void>> edits;
    for (int n = 0; n < 30; ++n) {
        edits.push_back(n % 2 == 0 ? timeline->executeCommand(addText(n))
                                   : timeline->executeCommands({addText(n)}));
    }
    for (auto& edit : edits) {
        awaitTask(std::move(edit));
    }
    EXPECT_EQ(repository->load().textClips().size(), 30u);
    EXPECT_EQ(timeline->project(), repository->load());
    for (int n = 29; n >= 0; --n) {
        timeline->undo();
        EXPECT_EQ(timeline->project().textClips().size(), static_cast<std::size_t>(n));
    }
    expectShown(initial);
}

TEST_F(TimelineViewModelTest, AnAnswerForAClosedTimelineIsDropped) {
    QCoro::Task<void> edit = timeline->executeCommand(addText(0));
    timeline.reset();
    EXPECT_THROW(awaitTask(std::move(edit)), CancellationError);
    EXPECT_TRUE(synced.empty());
    EXPECT_EQ(repository->load().textClips().size(), 1u); // the engine did its part
}

TEST_F(TimelineViewModelTest, UndoAndRedoPressedWhileABatchRunsActAfterItAndStay) {
    run(addText(0));
    const Project afterFirst = timeline->project();
    run(addText(2));
    const Project afterSecond = timeline->project();

    // Undo pressed while a slow batch is inside the engine: it waits its turn,
    // then undoes the batch, and the batch's late result does not undo it.
    QCoro::Task<void> batch = timeline->executeCommands({EditGate::slowTitle(10)});
    gate.waitUntilEntered();
    timeline->undo();
    EXPECT_EQ(timeline->project(), afterSecond);
    gate.open();
    awaitTask(std::move(batch));
    settle();
    expectShown(afterSecond);
    timeline->redo(); // nothing runs: at once
    EXPECT_EQ(timeline->project().textClips().size(), 3u);
    timeline->undo();

    // A batch that fails with an undo waiting behind it: the batch puts back
    // exactly the project it replaced, then the undo acts on that.
    QCoro::Task<void> failing = timeline->executeCommands({EditGate::slowTitle(10, true)});
    timeline->undo();
    timeline->redo();
    timeline->undo();
    EXPECT_THROW(awaitTask(std::move(failing)), EditError);
    settle();
    expectShown(afterFirst);
    EXPECT_TRUE(timeline->canRedo());
    timeline->redo();
    expectShown(afterSecond);
}

TEST_F(TimelineViewModelTest, AnEditOfAReplacedDocumentNeverReachesTheNewOne) {
    run(addText(0));
    // One edit inside the engine, one waiting, an undo waiting: the document
    // is replaced under all three.
    QCoro::Task<void> running = timeline->executeCommand(EditGate::slowTitle(10));
    gate.waitUntilEntered();
    QCoro::Task<void> waiting = timeline->executeCommands({addText(20)});
    timeline->undo();
    const Project replacement{{makeTrack(TrackType::video, "Opened", {makeClip(0, 3)})}, 600};
    timeline->setProject(replacement);
    gate.open();
    EXPECT_THROW(awaitTask(std::move(running)), CancellationError);
    EXPECT_THROW(awaitTask(std::move(waiting)), CancellationError);
    settle();
    // The engine wrote its late result into the repository: the replacement
    // was synced again after it.
    expectShown(replacement);
    EXPECT_FALSE(timeline->canUndo());
    EXPECT_FALSE(timeline->canRedo());

    // Holding the edits: the one inside the engine lands first, on its own
    // document, and none starts until the turn is dropped.
    gate.close();
    QCoro::Task<void> edit = timeline->executeCommand(EditGate::slowTitle(10));
    gate.waitUntilEntered();
    QCoro::Task<TurnQueue::Turn> holding = timeline->holdEdits();
    QCoro::Task<void> later = timeline->executeCommand(addText(30));
    gate.open();
    awaitTask(std::move(edit));
    const Project edited = timeline->project();
    {
        const TurnQueue::Turn turn = awaitTask(std::move(holding));
        settle();
        EXPECT_EQ(timeline->project(), edited); // `later` is held back
        timeline->setProject(replacement);
    }
    EXPECT_THROW(awaitTask(std::move(later)), CancellationError);
    expectShown(replacement);
}
