#include "domain/usecases/DefaultEditCommandExecutor.h"

#include "domain/entities/ClipBuilder.h"
#include "domain/entities/EditError.h"
#include "domain/entities/ModelFixtures.h"
#include "support/EditEngineHarness.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

using namespace vexel;
using namespace vexel::testing;

namespace {

// Stands for an edit written elsewhere: accepts one case, records it and runs
// the given action on the project it is handed.
class RecordingHandler : public CommandHandler {
public:
    explicit RecordingHandler(EditCommand::Tag tag, std::function<Project(Project)> action = {})
        : tag_(tag)
        , action_(std::move(action)) {}

    bool canHandle(const EditCommand& command) const override { return command.tag() == tag_; }
    Project apply(const EditCommand& command, Project project) const override {
        calls->push_back(command);
        return action_ ? action_(std::move(project)) : project;
    }

    std::shared_ptr<std::vector<EditCommand>> calls = std::make_shared<std::vector<EditCommand>>();

private:
    EditCommand::Tag tag_;
    std::function<Project(Project)> action_;
};

// Sets every clip's opacity, as an opacity edit would.
Project withOpacity(Project project, double opacity) {
    for (auto& track : project.tracks) {
        for (auto& clip : track.clips) {
            clip.opacity = opacity;
        }
    }
    return project;
}

struct ExecutorTest : ::testing::Test {
    Clip a = makeClip(0, 5, TrackType::video, "a.mov");
    Clip b = makeClip(5, 5, TrackType::video, "b.mov");
    Clip song = makeClip(0, 8, TrackType::audio, "song.mp3");
    Project initial{{makeTrack(TrackType::video, "Video 1", {a, b}),
                     makeTrack(TrackType::audio, "Audio 1", {song}, true)},
                    100};
};

} // namespace

TEST_F(ExecutorTest, DispatchesToTheFirstHandlerThatAcceptsTheCommand) {
    EditEngineHarness probe{initial};
    auto opacity = std::make_shared<RecordingHandler>(
        EditCommand::Tag::opacity, [](Project p) { return withOpacity(p, 0.5); });
    auto shadowed = std::make_shared<RecordingHandler>(EditCommand::Tag::opacity);
    DefaultEditCommandExecutor executor = probe.makeExecutor({opacity, shadowed});

    const Project after = executor.execute(EditCommand::Opacity{a.id, 0.5});
    EXPECT_EQ(after.findClip(a.id)->opacity, 0.5);
    EXPECT_EQ(opacity->calls->size(), 1u);
    EXPECT_TRUE(shadowed->calls->empty());
    EXPECT_EQ(probe.repository->current(), after);

    const Project moved = executor.execute(EditCommand::Move{b.id, 20, {}});
    EXPECT_EQ(moved.findClip(b.id)->timeRange.startTime, 20);
}

TEST_F(ExecutorTest, CommandWithoutHandlerIsUnsupportedAndTouchesNothing) {
    EditEngineHarness engine{initial};
    DefaultEditCommandExecutor executor({}, {}, engine.repository,
                                        AddClipUseCase(engine.mediaLoader),
                                        ExportUseCase(engine.repository, engine.exportService));
    const int loads = engine.repository->loadCount;
    expectEditError(
        [&] {
            executor.execute(EditCommand::Speed{a.id, 2});
        },
        EditError::unsupportedCommand());
    EXPECT_EQ(engine.repository->loadCount, loads);
    // In a batch, after a command that did go through, the batch fails whole.
    expectEditError(
        [&] {
            executor.executeBatch({EditCommand::Move{a.id, 50, {}}, EditCommand::Speed{a.id, 2}});
        },
        EditError::unsupportedCommand());
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_EQ(engine.repository->current(), initial);
}

TEST_F(ExecutorTest, MetaCommandsReturnTheProjectUnchanged) {
    EditEngineHarness engine{initial};
    for (const EditCommand& command :
         std::vector<EditCommand>{EditCommand::ShowTutorial{}, EditCommand::Undo{},
                                  EditCommand::Redo{}, EditCommand::Export{ExportFormat::mov},
                                  EditCommand::ReportBug{}, EditCommand::RequestFeature{}}) {
        EXPECT_EQ(engine.executor.execute(command), initial);
    }
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_EQ(engine.executor.executeBatch({EditCommand::Undo{}, EditCommand::ShowTutorial{}}),
              initial);
    EXPECT_TRUE(engine.exportService->exported.empty());
}

TEST_F(ExecutorTest, EmptyBatchReturnsTheProjectAndSavesNothing) {
    EditEngineHarness engine{initial};
    EXPECT_EQ(engine.executor.executeBatch({}), initial);
    EXPECT_TRUE(engine.repository->saved.empty());
}

TEST_F(ExecutorTest, BatchSwapsAdjacentClipsThatSingleMovesCannot) {
    EditEngineHarness engine{initial};
    expectEditError(
        [&] {
            engine.executor.execute(EditCommand::Move{a.id, 5, {}});
        },
        EditError::clipOverlap());
    EXPECT_EQ(engine.repository->current(), initial);

    const Project after = engine.change([&] {
        return engine.executor.executeBatch(
            {EditCommand::Move{a.id, 5, {}}, EditCommand::Move{b.id, 0, {}}});
    });
    EXPECT_EQ(after.findClip(a.id)->timeRange, (TimeRange{5, 5}));
    EXPECT_EQ(after.findClip(b.id)->timeRange, (TimeRange{0, 5}));
    EXPECT_EQ(engine.repository->saved.size(), 1u); // saved once, at the end
    // One undo step for the whole batch.
    EXPECT_EQ(engine.history.undoStack.size(), 1u);
    engine.expectUndoable(initial, after);
}

TEST_F(ExecutorTest, FailingThirdCommandLeavesTheRepositoryAsBefore) {
    EditEngineHarness engine{initial};
    const std::vector<EditCommand> batch = {
        EditCommand::Move{a.id, 20, {}},                 // on the working copy
        EditCommand::AddText{"Title", 0.0, 3.0, {}, {}}, // full path: saves
        EditCommand::Split{b.id, 12},                    // outside b: fails
        EditCommand::RemoveClip{song.id}};
    expectEditError([&] { engine.executor.executeBatch(batch); }, EditError::invalidSplitPoint());
    EXPECT_EQ(engine.repository->current(), initial);
    // The batch works on its own copy: nothing, not even the text edit's
    // result, reached the repository, so nothing had to be restored.
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_EQ(engine.repository->loadCount, 1);
}

TEST_F(ExecutorTest, CommandsAfterTheFailingOneAreNotLookedAt) {
    EditEngineHarness probe{initial};
    auto later = std::make_shared<RecordingHandler>(EditCommand::Tag::opacity);
    DefaultEditCommandExecutor executor = probe.makeExecutor({later});
    // Duplicating right after a lands on b: duplicate tests overlap itself.
    expectEditError(
        [&] {
            executor.executeBatch(
                {EditCommand::DuplicateClip{a.id, {}}, EditCommand::Opacity{a.id, 0.1}});
        },
        EditError::clipOverlap());
    EXPECT_TRUE(later->calls->empty());
    EXPECT_EQ(probe.repository->current(), initial);
}

TEST_F(ExecutorTest, EndStateOverlapFailsTheBatchBeyondOneNanosecond) {
    EditEngineHarness engine{initial};
    expectEditError(
        [&] {
            engine.executor.executeBatch({EditCommand::Move{b.id, 4.5, {}}});
        },
        EditError::clipOverlap());
    EXPECT_EQ(engine.repository->current(), initial);

    const Project after = engine.executor.executeBatch({EditCommand::Move{b.id, 5 - 1e-10, {}}});
    EXPECT_EQ(after.findClip(b.id)->timeRange.startTime, 5 - 1e-10);
    EXPECT_EQ(engine.repository->current(), after);
}

TEST_F(ExecutorTest, TrimIntoANeighbourFailsOnlyInABatch) {
    EditEngineHarness engine{initial};
    expectEditError(
        [&] {
            engine.executor.executeBatch({EditCommand::Trim{a.id, 0, 7}});
        },
        EditError::clipOverlap());
    EXPECT_EQ(engine.repository->current(), initial);
    const Project alone = engine.executor.execute(EditCommand::Trim{a.id, 0, 7});
    EXPECT_EQ(alone.findClip(a.id)->timeRange.duration, 7);
}

TEST_F(ExecutorTest, BatchMixesPureAndFullPathCommandsInOrder) {
    EditEngineHarness probe{initial};
    auto opacity = std::make_shared<RecordingHandler>(
        EditCommand::Tag::opacity, [](Project p) { return withOpacity(p, 0.3); });
    DefaultEditCommandExecutor executor = probe.makeExecutor({opacity});

    const Project after = executor.executeBatch({
        EditCommand::Split{a.id, 2},
        EditCommand::Opacity{b.id, 0.3}, // sees the split
        EditCommand::RemoveClip{song.id},
        EditCommand::DuplicateClip{b.id, 30.0},
        EditCommand::AddTrack{std::string("Voice"), TrackType::audio},
    });
    EXPECT_EQ(after, probe.repository->current());
    const Track& video = after.tracks[0];
    ASSERT_EQ(video.clips.size(), 4u);
    EXPECT_EQ(video.clips[0].assetName, "a_1.mov");
    EXPECT_EQ(video.clips[1].assetName, "a_2.mov");
    for (const auto& clip : video.clips) {
        EXPECT_EQ(clip.opacity, 0.3) << clip.assetName; // the duplicate copies it too
    }
    EXPECT_EQ(trackNames(after), (std::vector<std::string>{"Video 1", "Audio 1", "Voice"}));
    EXPECT_TRUE(after.tracks[1].clips.empty());
}

// A media error is not an edit error, and still rolls back.
TEST_F(ExecutorTest, AMediaErrorRollsTheBatchBack) {
    EditEngineHarness engine{initial};
    EXPECT_THROW(
        engine.executor.executeBatch({EditCommand::RemoveClip{a.id},
                                      EditCommand::AddClip{"/none.mov", TrackType::video, 0, {}}}),
        FakeMediaError);
    EXPECT_EQ(engine.repository->current(), initial);
}

TEST_F(ExecutorTest, ASaveThatFailsReachesTheCallerAndChangesNothing) {
    EditEngineHarness engine{initial};
    engine.repository->failSaves = true;
    EXPECT_THROW(engine.executor.execute(EditCommand::Opacity{a.id, 0.5}), std::runtime_error);
    EXPECT_THROW(engine.executor.executeBatch(
                     {EditCommand::Move{a.id, 50, {}}, EditCommand::Opacity{a.id, 0.5}}),
                 std::runtime_error);
    EXPECT_EQ(engine.repository->current(), initial);
}

TEST_F(ExecutorTest, AddClipFromURLUsesTheFirstTrackOfTheType) {
    EditEngineHarness engine{initial};
    engine.mediaLoader->add("/media/voice.wav", 2, TrackType::audio);
    const Project after = engine.change([&] {
        return engine.executor.addClipFromURL("/media/voice.wav", TrackType::audio, std::nullopt,
                                              std::string("Voice take"));
    });
    const Track& audio = after.tracks[1];
    ASSERT_EQ(audio.clips.size(), 2u);
    EXPECT_EQ(audio.clips[1].assetName, "Voice take");
    EXPECT_EQ(audio.clips[1].timeRange, (TimeRange{8, 2}));
    engine.expectUndoable(initial, after);

    // The command form takes its asset name as a path and names the clip after the file.
    engine.executor.execute(EditCommand::AddClip{"/media/voice.wav", TrackType::audio, 20, {}});
    EXPECT_EQ(engine.repository->current().tracks[1].clips.back().assetName, "voice.wav");
}

TEST_F(ExecutorTest, ExportRefusesAnEmptyProjectAndReturnsTheProjectItRead) {
    EditEngineHarness empty{Project::makeNew()};
    int progressReports = 0;
    const auto onProgress = [&](const ExportProgress&) { ++progressReports; };
    expectEditError([&] { empty.executor.exportProject(ExportFormat::mp4, onProgress, {}); },
                    EditError::emptyProject());
    EXPECT_TRUE(empty.exportService->exported.empty());
    EXPECT_EQ(progressReports, 0);

    EditEngineHarness engine{initial};
    // An edit while the export runs does not reach the result.
    engine.exportService->duringExport = [&] {
        engine.executor.execute(EditCommand::RemoveClip{a.id});
    };
    const ExportResult result = engine.executor.exportProject(ExportFormat::mov, onProgress, {});
    EXPECT_EQ(result.project, initial);
    EXPECT_EQ(result.outputURL, engine.exportService->outputURL);
    EXPECT_EQ(engine.exportService->formats, (std::vector<ExportFormat>{ExportFormat::mov}));
    EXPECT_EQ(progressReports, 1);

    engine.exportService->duringExport = {};
    engine.exportService->failure = std::make_exception_ptr(std::runtime_error("disk full"));
    EXPECT_THROW(engine.executor.exportProject(ExportFormat::mp4, onProgress, {}),
                 std::runtime_error);
}

TEST(ExportUseCase, SingleTextClipIsNotEmpty) {
    EditEngineHarness engine{Project{
        {makeTrack(TrackType::text, "Text 1", {makeClip(0, 3, TrackType::text, "Hi")})}, 60}};
    EXPECT_NO_THROW(engine.executor.exportProject(ExportFormat::mp4, {}, {}));
    EXPECT_EQ(engine.exportService->exported.size(), 1u);
}

// An infinite time passed every check that has only an upper bound, and the
// project then held a number its file cannot hold: after saving it would not
// open again. Alone or in a batch, every such command fails and changes nothing.
TEST_F(ExecutorTest, EveryTimeACommandCarriesMustBeFinite) {
    EditEngineHarness engine{initial};
    engine.mediaLoader->add("/media/c.mov", 2);
    const Clip title = [] {
        Clip clip = makeClip(20, 2, TrackType::text, "Title");
        clip.volume = 0;
        return clip;
    }();
    engine.repository->save(engine.repository->load().addingClip(title, TrackType::text));
    const Project stored = engine.repository->load();
    engine.repository->saved.clear();

    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<EditCommand, EditError>> cases = {
        {EditCommand::Move{a.id, -inf, {}}, EditError::exceedsMaxDuration()},
        {EditCommand::DuplicateClip{a.id, -inf}, EditError::exceedsMaxDuration()},
        {EditCommand::AddText{"x", -inf, 1.0, {}, {}}, EditError::exceedsMaxDuration()},
        {EditCommand::AddText{"x", 50.0, inf, {}, {}}, EditError::exceedsMaxDuration()},
        {EditCommand::AddClip{"/media/c.mov", TrackType::video, -inf, {}},
         EditError::exceedsMaxDuration()},
        {EditCommand::EditText{title.id, {}, {}, {}, TimeRange{-inf, 1}},
         EditError::exceedsMaxDuration()},
        {EditCommand::Trim{a.id, inf, 1}, EditError::invalidTimeRange()},
        {EditCommand::Split{a.id, inf}, EditError::invalidSplitPoint()},
    };
    for (const auto& [command, error] : cases) {
        SCOPED_TRACE(static_cast<int>(command.tag()));
        expectEditError([&] { engine.executor.execute(command); }, error);
        expectEditError([&] { engine.executor.executeBatch({command}); }, error);
    }
    EXPECT_TRUE(engine.repository->saved.empty());
    EXPECT_EQ(engine.repository->current(), stored);
}
