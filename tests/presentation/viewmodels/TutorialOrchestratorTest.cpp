#include "presentation/viewmodels/TutorialOrchestrator.h"

#include "data/media/FFmpegMediaLoader.h"
#include "data/media/FileStager.h"
#include "domain/entities/ModelFixtures.h"
#include "presentation/support/ChatBar.h"
#include "support/media/MovieMaker.h"

#include <QDeadlineTimer>
#include <gtest/gtest.h>

#include <array>
#include <chrono>

using namespace vexel;
using namespace vexel::test;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;
using vexel::testing::ScopedEnvironment;
using vexel::testing::TemporaryFolder;

namespace {

// Short texts, so that typing them takes few steps of the injected clock.
constexpr auto shortTexts = std::to_array<StringTable::Entry>({
    {"split.prefill", "Split it"},
    {"split.bonusHint", "Hint!"},
    {"fadeIn.prefill", "Fade it in"},
    {"fadeIn.bonusHint", "Hint 2!"},
    {"addText.prefill", "Add a title"},
    {"addText.videoText", "Title"},
    {"export.prefill", "Export it"},
    {"explore.prefill", "What else?"},
    {"explore.hardcodedResponse", "abcdefg"},
    {"error.noClips", "No clips."},
    {"error.sampleVideoNotFound", "No sample."},
});

// The chat bar with the tutorial wired in as the application wires it: the
// sample comes from a resource folder, is staged into a private folder and
// probed by the real media loader.
struct TutorialOrchestratorTest : ::testing::Test {
    TemporaryFolder runtime;
    ScopedEnvironment xdg{"XDG_CACHE_HOME", runtime.path().string()};
    TemporaryFolder resources;
    StringTable strings{shortTexts};
    ChatBar bar{Project::makeNew(), [](std::stop_token) { return std::string("token"); },
                std::make_shared<FFmpegMediaLoader>()};
    TutorialState state;
    TutorialOrchestrator orchestrator{state,
                                      bar.viewModel.chatHistory(),
                                      bar.harness.timeline,
                                      std::make_shared<FileStager>(),
                                      ResourceBundle({resources.path()}),
                                      bar.harness.logger,
                                      bar.harness.time->sleepAction(),
                                      strings};

    void SetUp() override { bar.viewModel.setTutorialOrchestrator(&orchestrator); }

    void makeSample() {
        std::filesystem::create_directories(resources / "SampleMedia");
        vexel::testing::TestMovie movie;
        movie.width = 160;
        movie.height = 90;
        movie.frameCount = 150; // 5 s
        movie.hasAudio = false;
        vexel::testing::writeTestMovie(resources / "SampleMedia" / "tutorial-sample.mp4", movie);
    }

    // Runs the event loop until `busy` turns false, moving the injected clock
    // on whenever the typing waits for it.
    void runWhile(const std::function<bool()>& busy) {
        const QDeadlineTimer deadline(std::chrono::seconds(20));
        while (busy() && !deadline.hasExpired()) {
            if (bar.harness.time->pendingSleeps() > 0) {
                bar.harness.time->advance(TutorialOrchestrator::typingInterval);
                QCoreApplication::processEvents(QEventLoop::AllEvents);
            } else {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
            }
        }
        ASSERT_FALSE(busy());
        settle();
    }

    // Sends the input as the chat bar does and waits for the step to end.
    void send(const std::string& text) {
        bar.viewModel.setInstructionText(text);
        bar.viewModel.startSubmit();
        runWhile([this] { return bar.viewModel.currentTask().has_value(); });
    }

    void runStep(const std::string& text) {
        bool done = false;
        auto step = [](TutorialOrchestrator& orchestrator, std::string typed,
                       bool* done) -> QCoro::Task<void> {
            co_await orchestrator.executeTutorialStep(std::move(typed));
            *done = true;
        };
        QCoro::Task<void> running = step(orchestrator, text, &done);
        runWhile([&done] { return !done; });
    }
};

} // namespace

TEST_F(TutorialOrchestratorTest, RunsAllSevenStepsOnAGeneratedSampleThroughTheEditEngine) {
    makeSample();
    state.setCurrentStep(TutorialStep::welcome);
    awaitTask(orchestrator.setupSampleVideo());
    ASSERT_EQ(state.currentStep(), TutorialStep::splitChat);
    const Project loaded = bar.harness.repository->load();
    ASSERT_EQ(loaded.videoClips().size(), 1u);
    const Clip sample = loaded.videoClips().front();
    EXPECT_NEAR(sample.timeRange.duration, 5.0, 0.05);
    EXPECT_EQ(sample.timeRange.startTime, 0);
    EXPECT_NE(sample.assetURL->parent_path(), resources / "SampleMedia"); // a staged copy

    // Each chat step: the prefilled instruction, the step's edits, the typed
    // summary and hint, the next step's instruction in the input.
    send("Split it");
    EXPECT_EQ(state.currentStep(), TutorialStep::fadeInChat);
    EXPECT_EQ(bar.viewModel.instructionText(), "Fade it in");
    ASSERT_EQ(bar.harness.repository->load().videoClips().size(), 2u);
    EXPECT_EQ(bar.harness.repository->load().videoClips()[0].timeRange.duration, 3.0);

    send(bar.viewModel.instructionText());
    EXPECT_EQ(state.currentStep(), TutorialStep::addTextChat);
    const Clip faded = bar.harness.repository->load().videoClips().front();
    ASSERT_TRUE(faded.transitionIn);
    EXPECT_EQ(faded.transitionIn->duration, 0.3);

    send(bar.viewModel.instructionText());
    EXPECT_EQ(state.currentStep(), TutorialStep::exportVideo);
    ASSERT_EQ(bar.harness.repository->load().textClips().size(), 1u);
    EXPECT_EQ(bar.harness.repository->load().textClips().front().assetName, "Title");
    EXPECT_EQ(bar.viewModel.instructionText(), "Export it");

    // The export step exports as a QuickTime movie without the assistant; the
    // window moves on once the file is saved.
    send(bar.viewModel.instructionText());
    EXPECT_EQ(bar.harness.exportService->formats, std::vector<ExportFormat>{ExportFormat::mov});
    EXPECT_TRUE(bar.viewModel.exportCoordinator().exportSaveRequest());
    EXPECT_EQ(state.currentStep(), TutorialStep::exportVideo);
    EXPECT_EQ(orchestrator.handleExportSuccess(), "What else?");
    EXPECT_EQ(state.currentStep(), TutorialStep::exploreHint);

    send("What else?");
    EXPECT_EQ(state.currentStep(), TutorialStep::complete);
    EXPECT_EQ(bar.viewModel.instructionText(), "");
    runStep("Thanks");
    EXPECT_EQ(state.currentStep(), std::nullopt);

    EXPECT_EQ(bar.chatTexts(),
              (std::vector<std::string>{"Split it", "Split clip at 3s", "Hint!", "Fade it in",
                                        "Added fade in 0.3s", "Hint 2!", "Add a title",
                                        "Added text \"Title\" at 0s for 3s", "Export it",
                                        "What else?", "abcdefg", "Thanks"}));
    EXPECT_EQ(bar.server.requestCount(), 0u);
    EXPECT_TRUE(bar.harness.logger->messages().empty());

    // Each step was one undoable batch: three undos give the loaded sample back.
    for (int i = 0; i < 3; ++i) {
        bar.harness.timeline.undo();
    }
    EXPECT_EQ(bar.harness.repository->load(), loaded);
}

TEST_F(TutorialOrchestratorTest, StepsThatCannotRunSaySoAndStay) {
    // No sample installed: the tutorial ends with a reply and a log line.
    state.setCurrentStep(TutorialStep::welcome);
    awaitTask(orchestrator.setupSampleVideo());
    EXPECT_EQ(state.currentStep(), std::nullopt);
    EXPECT_EQ(bar.chatTexts(), std::vector<std::string>{"No sample."});
    EXPECT_EQ(bar.harness.logger->messages(),
              std::vector<std::string>{"[Tutorial] Sample video not found in bundle"});

    // No video clip to split or fade: the user's text, the reply, no change.
    const Project before = bar.harness.repository->load();
    for (TutorialStep step : {TutorialStep::splitChat, TutorialStep::fadeInChat}) {
        state.setCurrentStep(step);
        runStep(" Go\t");
        EXPECT_EQ(state.currentStep(), step);
    }
    EXPECT_EQ(bar.chatTexts(),
              (std::vector<std::string>{"No sample.", "Go", "No clips.", "Go", "No clips."}));
    EXPECT_EQ(bar.harness.repository->load(), before);

    // Only spaces and tabs: nothing at all.
    runStep(" \t ");
    EXPECT_EQ(bar.chatTexts().size(), 5u);

    // The export's success counts only in the export step.
    EXPECT_EQ(orchestrator.handleExportSuccess(), std::nullopt);
    EXPECT_EQ(state.currentStep(), TutorialStep::fadeInChat);

    // The title step needs no video clip; an empty input in the export step
    // does nothing.
    state.setCurrentStep(TutorialStep::addTextChat);
    runStep("Title please");
    EXPECT_EQ(bar.harness.repository->load().textClips().size(), 1u);
    EXPECT_EQ(state.currentStep(), TutorialStep::exportVideo);
    bar.viewModel.setInstructionText("  ");
    bar.viewModel.startSubmit();
    EXPECT_FALSE(bar.viewModel.currentTask());
    EXPECT_EQ(bar.harness.exportService->formats.size(), 0u);
}

TEST_F(TutorialOrchestratorTest, RepliesAreTypedThreeCharactersEvery15Milliseconds) {
    std::vector<std::string> shown;
    QObject::connect(&bar.viewModel.chatHistory(), &ChatHistoryManager::messagesChanged, [&] {
        const std::vector<ChatMessage>& messages = bar.viewModel.chatHistory().messages();
        if (!messages.empty() && messages.back().role == ChatMessage::Role::assistant) {
            shown.push_back(messages.back().content());
        }
    });
    state.setCurrentStep(TutorialStep::exploreHint);
    runStep("More");
    // The empty message, three pieces, then the finished text.
    EXPECT_EQ(shown, (std::vector<std::string>{"", "abc", "abcdef", "abcdefg", "abcdefg"}));
    EXPECT_EQ(bar.harness.time->requestedDelays(), (std::vector<double>{0.015, 0.015, 0.015}));
    EXPECT_EQ(state.currentStep(), TutorialStep::complete);

    // Stopped while typing: the reply keeps what was typed, a hint would be
    // dropped, and the step still moves on.
    state.setCurrentStep(TutorialStep::exploreHint);
    std::stop_source stop;
    bool done = false;
    auto step = [&]() -> QCoro::Task<void> {
        co_await orchestrator.executeTutorialStep("More", stop.get_token());
        done = true;
    };
    QCoro::Task<void> running = step();
    runWhile([&] { return bar.harness.time->pendingSleeps() == 0; });
    stop.request_stop();
    runWhile([&] { return !done; });
    EXPECT_EQ(bar.chatTexts().back(), "abc");
    EXPECT_EQ(state.currentStep(), TutorialStep::complete);
}

TEST(TutorialSampleTest, TheBuildMakesTheSampleWhereTheApplicationLooksForIt) {
    const std::optional<std::filesystem::path> sample =
        ResourceBundle::main().url("tutorial-sample", "mp4", "SampleMedia");
    ASSERT_TRUE(sample);
    const MediaAsset asset = FFmpegMediaLoader().loadAsset(*sample);
    EXPECT_EQ(asset.trackType, TrackType::video);
    // Long enough for the split at 3 s to fall inside it.
    EXPECT_NEAR(asset.duration, 8.0, 0.1);

    // Roots are searched in order; a root without the file is passed over.
    TemporaryFolder first;
    TemporaryFolder second;
    std::filesystem::create_directories(second / "SampleMedia");
    std::filesystem::copy_file(*sample, second / "SampleMedia" / "tutorial-sample.mp4");
    const ResourceBundle bundle({first.path(), second.path(), sample->parent_path().parent_path()});
    EXPECT_EQ(bundle.url("tutorial-sample", "mp4", "SampleMedia"),
              second / "SampleMedia" / "tutorial-sample.mp4");
    EXPECT_EQ(bundle.url("tutorial-sample", "mov", "SampleMedia"), std::nullopt);
}
