// A long streamed reply shown in the chat column: the GUI thread's processor
// time from sending the instruction to the end of the reply, through the real
// view model, assistant loop and transport, from a backend on 127.0.0.1.
// - the reply in 64-byte pieces, 64 of them per write of the backend, as a
//   stream that keeps coming sends them;
// - the baseline of the same run: the same reply in one piece, which costs one
//   copy and one layout of its text.
// - the same length as one word (a reply gone wrong), streamed.
// Target: streamed, a reply costs at most 4× its one-piece baseline whatever
// its length (work in proportion to the length, not to its square), one word
// or many; and a reply that never ends is stopped at its limit, its cost
// bounded with it.

#include "data/llm/ClaudeLLMService.h"
#include "data/llm/InterpretInstructionUseCase.h"
#include "foundation/SteadySleeper.h"
#include "infrastructure/network/ClaudeAPIClient.h"
#include "platform/net/CurlHttpClient.h"
#include "presentation/viewmodels/InstructionViewModel.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/kit/IconRegistry.h"
#include "support/AnthropicEvents.h"
#include "support/ChatTimeline.h"
#include "support/LoopbackServer.h"
#include "support/RunTimes.h"
#include "support/WidgetBenchmarks.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

using namespace vexel;
using namespace vexel::test::anthropic;

namespace {

double guiThreadSeconds() {
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) * 1e-9;
}

// The chat column over the whole road to a loopback backend.
struct ChatColumn : bench::ChatTimeline {
    test::LoopbackServer server;
    QTemporaryDir folder;
    QSettings settings{folder.filePath("settings.ini"), QSettings::IniFormat};
    AccessTokenOperation token = [](std::stop_token) { return std::string("token"); };
    InstructionViewModel viewModel{
        std::make_shared<InterpretInstructionUseCase>(
            std::make_shared<ClaudeLLMService>(std::make_shared<ClaudeAPIClient>(
                std::make_shared<net::CurlHttpClient>(), token, token, server.baseURL(),
                std::nullopt, 2048, 60, 1, std::make_shared<SteadySleeper>())),
            repository),
        timeline, [] { return std::filesystem::path("/tmp"); }, settings, logger};
    IconRegistry icons{logger};
    InstructionInputView view{viewModel, icons};

    ChatColumn() {
        view.resize(320, 800);
        view.show();
        QCoreApplication::processEvents();
    }

    // Sends an instruction answered by `reply` and returns the GUI thread's
    // processor time until the instruction has ended and the chat is drawn.
    double answer(test::ScriptedResponse reply) {
        viewModel.prepareForNewProject();
        QCoreApplication::processEvents();
        server.enqueue(std::move(reply));
        const double start = guiThreadSeconds();
        viewModel.setInstructionText("Tell me everything");
        viewModel.startSubmit();
        while (viewModel.currentTask()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        QCoreApplication::processEvents();
        return guiThreadSeconds() - start;
    }
};

// Made once the application exists, and kept for every benchmark.
ChatColumn* column = nullptr;

ChatColumn& chatColumn() {
    if (column == nullptr) {
        column = new ChatColumn;
    }
    return *column;
}

// `bytes` of text, words of `word` bytes with their space (0: one word), in
// pieces of `piece` bytes, about 64 pieces per write.
test::ScriptedResponse textReply(std::size_t bytes, std::size_t word, std::size_t piece,
                                 bool finished) {
    std::string text(bytes, 'a');
    for (std::size_t at = 0; at < bytes; ++at) {
        text[at] = word > 0 && at % word == word - 1 ? ' ' : char('a' + (at / 64) % 26);
    }
    test::ScriptedResponse reply = test::ScriptedResponse::eventStream();
    reply.write(messageStart() + textStart(0));
    std::string group;
    for (std::size_t sent = 0; sent < bytes; sent += piece) {
        group += textDelta(0, text.substr(sent, piece));
        if (group.size() >= 64 * (piece + 100) || sent + piece >= bytes) {
            reply.write(std::exchange(group, {}));
        }
    }
    if (finished) {
        reply.write(blockStop(0) + messageEnd("end_turn"));
    }
    return reply;
}

void replyInChat(benchmark::State& state, std::size_t word, std::size_t piece) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        state.SetIterationTime(chatColumn().answer(textReply(bytes, word, piece, true)));
    }
    const std::vector<ChatMessage>& messages = chatColumn().viewModel.chatHistory().messages();
    state.counters["shown_bytes"] =
        messages.empty() ? 0.0 : static_cast<double>(messages.back().content().size());
}

void streamed(benchmark::State& state) {
    replyInChat(state, 64, 64);
}

void onePiece(benchmark::State& state) {
    replyInChat(state, 64, static_cast<std::size_t>(state.range(0)));
}

// A reply gone wrong: one word as long as the reply.
void oneWord(benchmark::State& state) {
    replyInChat(state, 0, 64);
}

// 20 MB of text that never finishes: stopped at the reply's limit.
void endless(benchmark::State& state) {
    for (auto _ : state) {
        state.SetIterationTime(chatColumn().answer(textReply(20'000'000, 64, 64, false)));
    }
}

// Each run is one instruction, timed on the GUI thread alone.
void oneInstructionARun(benchmark::internal::Benchmark* run) {
    run->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
}

} // namespace

BENCHMARK(streamed)
    ->Name("ReplyInChat_streamed")
    ->Arg(64 * 1024)
    ->Arg(1024 * 1024)
    ->Apply(oneInstructionARun);
BENCHMARK(onePiece)
    ->Name("ReplyInChat_one_piece")
    ->Arg(64 * 1024)
    ->Arg(1024 * 1024)
    ->Apply(oneInstructionARun);
BENCHMARK(oneWord)->Name("ReplyInChat_one_word")->Arg(1024 * 1024)->Apply(oneInstructionARun);
BENCHMARK(endless)->Name("ReplyInChat_endless")->Apply(oneInstructionARun);

int main(int argc, char** argv) {
    bench::RunTimesReporter reporter;
    bench::runWidgetBenchmarks(argc, argv, reporter, [] {
        delete column;
        column = nullptr;
    });
    for (const std::string size : {"65536", "1048576"}) {
        const double streamedTime =
            bench::fastestAndMedian(reporter.times("ReplyInChat_streamed", size).wall).second;
        const double onePieceTime =
            bench::fastestAndMedian(reporter.times("ReplyInChat_one_piece", size).wall).second;
        if (streamedTime > 0 && onePieceTime > 0) {
            std::printf("a reply of %s bytes in 64-byte pieces: median %.1f ms of the GUI thread, "
                        "%.2f× the same reply in one piece (%.1f ms), target 4×: %s\n",
                        size.c_str(), streamedTime, streamedTime / onePieceTime, onePieceTime,
                        streamedTime <= 4 * onePieceTime ? "met" : "missed");
        }
    }
    const double word =
        bench::fastestAndMedian(reporter.times("ReplyInChat_one_word", "1048576").wall).second;
    const double words =
        bench::fastestAndMedian(reporter.times("ReplyInChat_streamed", "1048576").wall).second;
    if (word > 0 && words > 0) {
        std::printf("a reply of one 1048576-byte word in 64-byte pieces: median %.1f ms of the GUI "
                    "thread, %.2f× the same length in words\n",
                    word, word / words);
    }
    const auto stopped = reporter.fastestAndMedian("ReplyInChat_endless");
    if (stopped.second > 0) {
        std::printf("a reply that never ends, until it is stopped: median %.1f ms of the GUI "
                    "thread (fastest %.1f)\n",
                    stopped.second, stopped.first);
    }
    return 0;
}
