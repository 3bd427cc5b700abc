#pragma once

#include "data/llm/ClaudeLLMService.h"
#include "data/llm/InterpretInstructionUseCase.h"
#include "infrastructure/network/ClaudeAPIClient.h"
#include "platform/net/CurlHttpClient.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/EventLoop.h"
#include "presentation/viewmodels/InstructionViewModel.h"
#include "support/LoopbackServer.h"
#include "support/RecordingSleeper.h"
#include "support/media/TemporaryFolder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSettings>
#include <gtest/gtest.h>

#include <chrono>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vexel::test {

// The chat bar over the whole road: view model, assistant client and loop,
// timeline and edit engine, and a loopback backend.
struct ChatBar {
    using TokenOperation = std::function<std::string(std::stop_token)>;

    // `renewal` gives the token after a refusal; none: `token` again.
    explicit ChatBar(
        Project project,
        TokenOperation token = [](std::stop_token) { return std::string("token"); },
        std::shared_ptr<MediaLoader> mediaLoader =
            std::make_shared<vexel::testing::FakeMediaLoader>(),
        TokenOperation renewal = {})
        : harness(std::move(project), std::move(mediaLoader))
        , tokens(std::move(token))
        , renewals(renewal ? std::move(renewal) : tokens) {}

    // Types `text` and sends it, then waits until the instruction has ended.
    void submit(const std::string& text) {
        viewModel.setInstructionText(text);
        viewModel.startSubmit();
        waitUntilIdle();
    }

    void waitUntilIdle() {
        if (const std::optional<TaskHandle>& task = viewModel.currentTask()) {
            awaitTask(task->finished());
        }
        settle();
    }

    // Runs the event loop until `done` holds; woken by events (stream data,
    // worker results), the deadline only ends a test that would hang.
    void runUntil(const std::function<bool()>& done) {
        const QDeadlineTimer deadline(std::chrono::seconds(20));
        while (!done() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        ASSERT_TRUE(done());
    }

    std::vector<std::string> chatTexts() {
        std::vector<std::string> texts;
        for (const ChatMessage& message : viewModel.chatHistory().messages()) {
            texts.push_back(message.content());
        }
        return texts;
    }

    ConversationHarness harness;
    TokenOperation tokens;
    TokenOperation renewals;
    LoopbackServer server;
    std::shared_ptr<RecordingSleeper> sleeper = std::make_shared<RecordingSleeper>();
    vexel::testing::TemporaryFolder folder;
    QSettings settings{QString::fromStdString((folder / "settings.ini").string()),
                       QSettings::IniFormat};
    InstructionViewModel viewModel{
        std::make_shared<InterpretInstructionUseCase>(
            std::make_shared<ClaudeLLMService>(std::make_shared<ClaudeAPIClient>(
                std::make_shared<net::CurlHttpClient>(), tokens, renewals, server.baseURL(),
                std::nullopt, 2048, 10, 1, sleeper)),
            harness.repository),
        harness.timeline,
        [] { return std::filesystem::path("/home/user/Movies"); },
        settings,
        harness.logger,
        harness.time};
};

} // namespace vexel::test
