#pragma once

#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/usecases/DefaultHandlers.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/ManualTime.h"
#include "presentation/viewmodels/ChatHistoryManager.h"
#include "presentation/viewmodels/ErrorBannerViewModel.h"
#include "presentation/viewmodels/ExportCoordinator.h"
#include "presentation/viewmodels/InstructionCommandProcessor.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "support/FakeExportService.h"
#include "support/FakeMediaLoader.h"
#include "support/RecordingLogger.h"

#include <memory>
#include <string>
#include <vector>

namespace vexel::test {

// The collaborators of the instruction road as the application wires them:
// the timeline over the real edit engine and repository (every synced project
// is stored back), the chat and the export hand-off. Only the export service
// is a stand-in, and the media loader unless a real one is given.
struct ConversationHarness {
    explicit ConversationHarness(
        Project initial,
        std::shared_ptr<MediaLoader> loader = std::make_shared<vexel::testing::FakeMediaLoader>())
        : mediaLoader(std::move(loader))
        , repository(std::make_shared<InMemoryProjectRepository>(initial))
        , timeline(repository->load(), banner,
                   WrappedEditCommandExecutor(std::make_shared<DefaultEditCommandExecutor>(
                       makeDefaultEditCommandExecutor(repository, mediaLoader, exportService)))) {
        timeline.setOnProjectSync([this](const Project& project) { repository->save(project); });
    }

    // Tasks queued by the last steps (a banner's dismissal) start before the
    // clock they sleep on is gone, not in the next test.
    ~ConversationHarness() { settle(); }

    InstructionCommandProcessor commandProcessor() {
        return InstructionCommandProcessor(timeline, chat, exportCoordinator, logger);
    }

    std::vector<std::string> chatTexts() const {
        std::vector<std::string> texts;
        for (const ChatMessage& message : chat.messages()) {
            texts.push_back(message.content());
        }
        return texts;
    }

    // The project as stored, byte for byte.
    std::string storedProject() const { return Json(repository->load()).dump(); }

    std::shared_ptr<ManualTime> time = std::make_shared<ManualTime>();
    std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
    std::shared_ptr<MediaLoader> mediaLoader;
    std::shared_ptr<vexel::testing::FakeExportService> exportService =
        std::make_shared<vexel::testing::FakeExportService>();
    std::shared_ptr<InMemoryProjectRepository> repository;
    ErrorBannerViewModel banner{logger, time->sleepAction()};
    TimelineViewModel timeline;
    ChatHistoryManager chat{time};
    ExportCoordinator exportCoordinator{[] { return std::filesystem::path("/home/user/Movies"); },
                                        logger};
};

} // namespace vexel::test
