#include "presentation/viewmodels/InstructionCommandProcessor.h"

#include "domain/entities/EditError.h"
#include "domain/entities/ExportError.h"
#include "domain/entities/ModelFixtures.h"
#include "foundation/CancellationError.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/EventLoop.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace vexel;
using namespace vexel::test;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

EditCommand addText(double at) {
    EditCommand::AddText add;
    add.text = "Title";
    add.at = at;
    add.duration = 2;
    return add;
}

BugReport bugReport() {
    return BugReport{Uuid::random(),
                     "Crash on export",
                     "Export twice",
                     BugReport::BugCategory::crash,
                     "…",
                     std::nullopt,
                     {}};
}

struct InstructionCommandProcessorTest : ::testing::Test {
    Clip clip = makeClip(0, 5);
    ConversationHarness harness{Project{{makeTrack(TrackType::video, "Video 1", {clip})}, 3600}};
    int tutorials = 0;
    std::vector<std::string> sent;

    InstructionCommandProcessor::Callbacks callbacks(bool reportsFail = false) {
        InstructionCommandProcessor::Callbacks result;
        result.onShowTutorial = [this] { ++tutorials; };
        result.onSubmitBugReport = [this, reportsFail](BugReport report) -> QCoro::Task<void> {
            sent.push_back(report.summary);
            if (reportsFail) {
                throw std::runtime_error("offline");
            }
            co_return;
        };
        result.onSubmitFeatureRequest = [this](FeatureRequest request) -> QCoro::Task<void> {
            sent.push_back(request.summary);
            co_return;
        };
        return result;
    }

    void process(std::vector<EditCommand> commands, bool showSummary, std::string message = {},
                 InstructionCommandProcessor::Callbacks with = {}, std::stop_token stop = {}) {
        LLMResponse response{std::move(commands), std::move(message), {}};
        awaitTask(harness.commandProcessor().processCommands(std::move(response), "  do it  ", {},
                                                             showSummary, std::move(with), stop));
    }
};

} // namespace

TEST_F(InstructionCommandProcessorTest, EditsAreOneBatchAndUndoInTheSameReplyRevertsIt) {
    const std::string before = harness.storedProject();
    process({addText(1), EditCommand::Undo{}}, false);
    EXPECT_EQ(harness.storedProject(), before);
    EXPECT_FALSE(harness.timeline.canUndo());
    ASSERT_TRUE(harness.timeline.canRedo());
    EXPECT_TRUE(harness.chatTexts().empty()); // streamed text said it all

    harness.timeline.redo();
    EXPECT_EQ(harness.repository->load().textClips().size(), 1u);
}

TEST_F(InstructionCommandProcessorTest, ExportsOnceInTheFirstFormatAndOffersTheFile) {
    process({EditCommand::Export{ExportFormat::mp4}, EditCommand::Export{ExportFormat::mov}}, true);
    EXPECT_EQ(harness.exportService->formats, std::vector<ExportFormat>{ExportFormat::mp4});
    // The service's progress report came and went; none shows after the end.
    settle();
    EXPECT_EQ(harness.exportCoordinator.exportProgress(), std::nullopt);
    ASSERT_TRUE(harness.exportCoordinator.exportSaveRequest());
    EXPECT_EQ(*harness.exportCoordinator.exportSaveRequest(),
              (ExportSaveRequest{"/tmp/export/out.mp4", "out.mp4", "/home/user/Movies"}));
    EXPECT_EQ(harness.chatTexts(), std::vector<std::string>{"No changes made."});
}

TEST_F(InstructionCommandProcessorTest, MetaCommandsRunInOrderAndAFailedReportDoesNotStopTheRest) {
    FeatureRequest feature{Uuid::random(), "Dark mode", "Night editing", "…", {}};
    process({EditCommand::ShowTutorial{}, EditCommand::ReportBug{bugReport()},
             EditCommand::ShowTutorial{}, EditCommand::RequestFeature{feature}},
            true, "", callbacks(/*reportsFail=*/true));
    EXPECT_EQ(tutorials, 1);
    EXPECT_EQ(sent, (std::vector<std::string>{"Crash on export", "Dark mode"}));
    EXPECT_EQ(
        harness.chatTexts(),
        (std::vector<std::string>{"No changes made.", "Failed to save report. Please try again.",
                                  "Report saved. Thank you for your feedback!"}));
    EXPECT_EQ(harness.logger->messages(),
              std::vector<std::string>{"[Support] Failed to save support report"});
    EXPECT_TRUE(harness.chat.errorMessageIds().empty()); // report notices are not retryable

    // The assistant's own words stand in for the command summary.
    process({addText(1)}, true, "Added a title.", callbacks());
    EXPECT_EQ(harness.chatTexts().back(), "Added a title.");
}

TEST_F(InstructionCommandProcessorTest, AFailedBatchChangesNothingAndOffersARetry) {
    process({addText(1)}, false);
    const std::string before = harness.storedProject();
    const Uuid missing = Uuid::random();

    process({addText(3), EditCommand::Move{missing, 1, std::nullopt}, EditCommand::Undo{},
             EditCommand::ReportBug{bugReport()}, EditCommand::Export{ExportFormat::mov}},
            true, "", callbacks());
    EXPECT_EQ(harness.storedProject(), before);
    EXPECT_TRUE(harness.timeline.canUndo()); // the undo of the same reply did not run
    EXPECT_FALSE(harness.timeline.canRedo());
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(harness.exportService->formats.empty());
    ASSERT_EQ(harness.chat.messages().size(), 1u);
    const ChatMessage& notice = harness.chat.messages()[0];
    EXPECT_EQ(notice.content(), EditError::clipNotFound(missing).userMessage());
    EXPECT_TRUE(harness.chat.errorMessageIds().contains(notice.id));
    EXPECT_EQ(harness.chat.retryableInstructions().at(notice.id), "  do it  ");
    ASSERT_EQ(harness.logger->messages().size(), 1u);
    EXPECT_EQ(harness.logger->messages()[0],
              "[Instruction] Command execution failed: vexel::EditError — " +
                  std::string(EditError::clipNotFound(missing).what()));
}

TEST_F(InstructionCommandProcessorTest, ExportFailuresAreWordedAndACancelledExportIsNoError) {
    struct Case {
        std::exception_ptr failure;
        std::string message;
    };
    const std::vector<Case> cases{
        {std::make_exception_ptr(ExportError::readerFailed(3)),
         "Failed to read the video. The file may be corrupted or use an unsupported codec."},
        {std::make_exception_ptr(ExportError::writerFailed("disk full")),
         "Export failed. Check disk space and try a different format."},
        {std::make_exception_ptr(ExportError::exportFailed("?")),
         "Export failed. Please try again."},
        {std::make_exception_ptr(std::runtime_error("codec")),
         "Failed to apply changes. Please try a different approach."},
    };
    for (const Case& c : cases) {
        harness.exportService->failure = c.failure;
        process({EditCommand::Export{ExportFormat::mov}, EditCommand::ShowTutorial{}}, false, "",
                callbacks());
        EXPECT_EQ(harness.chatTexts().back(), c.message);
        EXPECT_EQ(harness.chat.retryableInstructions().at(harness.chat.messages().back().id),
                  "  do it  ");
        EXPECT_EQ(harness.exportCoordinator.exportProgress(), std::nullopt);
        EXPECT_FALSE(harness.exportCoordinator.exportSaveRequest());
    }
    EXPECT_EQ(tutorials, 0);
    EXPECT_EQ(harness.logger->countStartingWith("[Instruction] Command execution failed: "), 4u);

    // Stopped while exporting: a plain notice, nothing logged.
    std::stop_source stop;
    harness.exportService->failure = nullptr;
    harness.exportService->duringExport = [&] {
        stop.request_stop();
        throw CancellationError();
    };
    process({EditCommand::Export{ExportFormat::mp4}}, false, "", callbacks(), stop.get_token());
    EXPECT_EQ(harness.chatTexts().back(), "Cancelled.");
    EXPECT_FALSE(harness.chat.errorMessageIds().contains(harness.chat.messages().back().id));
    EXPECT_EQ(harness.logger->messages().size(), 4u);
    EXPECT_EQ(harness.exportCoordinator.exportProgress(), std::nullopt);
}
