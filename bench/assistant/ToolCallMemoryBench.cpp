// The editor's resident memory over one instruction whose reply carries the
// largest tool calls, run as the editor runs it: the chat bar's view model,
// the assistant loop with the real event-stream parser over the transport
// (libcurl), the timeline over the edit engine. The backend is a loopback
// server in a process of its own, so that its copies of the reply are not
// counted.
// - thirty: one reply of 30 tool calls, each input just under the 1 MiB a
//   call may carry (31 MB in all, within every limit of one reply), padded
//   with empty objects, which cost the most as a tree; the model then asks
//   for more, and a second reply ends the instruction.
// - filled: the largest reply an instruction takes whole: text up to the
//   limit of a reply and tool calls up to what one instruction may carry.
//
// Each mode runs in a process of its own and reports the resident size
// before the instruction, its peak during it (the kernel's high-water mark,
// reset at the start) and the size once it has ended, before and after the
// allocator hands its free memory back (malloc_trim).
//
// Usage: bench_tool_call_memory [thirty|filled] (no mode: both, in turn).

#include "data/llm/ClaudeLLMService.h"
#include "data/llm/InterpretInstructionUseCase.h"
#include "data/llm/StreamContentBlockAccumulator.h"
#include "domain/entities/ModelFixtures.h"
#include "foundation/SteadySleeper.h"
#include "infrastructure/network/ClaudeAPIClient.h"
#include "platform/net/CurlHttpClient.h"
#include "presentation/viewmodels/InstructionViewModel.h"
#include "support/AnthropicEvents.h"
#include "support/ChatTimeline.h"
#include "support/LoopbackServer.h"
#include "support/ResidentMemory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

using namespace vexel;
using namespace vexel::test::anthropic;
using vexel::bench::statusMegabytes;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

constexpr std::size_t kMiB = 1024 * 1024;

// Sets the high-water mark back to the present size.
bool resetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

// A tool call that moves the outro, its input `bytes` long, padded with
// empty objects, in fragments of 64 KiB as a stream brings them.
std::string paddedMove(int index, std::size_t bytes) {
    std::string input =
        R"({"target": "outro.mov", "to": )" + std::to_string(20 + index) + R"(, "pad": [)";
    const std::string end = "{}]}";
    while (input.size() + 3 + end.size() <= bytes) {
        input += "{},";
    }
    input += end;
    const std::string id = "toolu_" + std::to_string(index);
    std::string call = toolStart(index, id, "move_clip");
    for (std::size_t at = 0; at < input.size(); at += 64 * 1024) {
        call += inputDelta(index, input.substr(at, 64 * 1024));
    }
    return call + blockStop(index);
}

// The reply of `mode`, written in pieces of about 1 MiB.
test::ScriptedResponse replyOf(const std::string& mode) {
    std::string reply = messageStart();
    int index = 0;
    if (mode == "filled") {
        // Text up to the limit of one reply, then calls up to the limit of
        // the instruction, ids and names included.
        const std::size_t text = ClaudeLLMService::maxReplyTextBytes - 64;
        reply += textStart(index);
        for (std::size_t sent = 0; sent < text; sent += 4096) {
            reply += textDelta(index, std::string(std::min<std::size_t>(4096, text - sent), 'w'));
        }
        reply += blockStop(index++);
        for (int call = 0; call < 4; ++call) {
            reply += paddedMove(index++, ClaudeLLMService::maxInstructionToolCallBytes / 4 - 64);
        }
    } else {
        for (int call = 0; call < 30; ++call) {
            reply += paddedMove(index++, StreamContentBlockAccumulator::maxToolInputBytes - 64);
        }
    }
    reply += messageEnd("tool_use");
    test::ScriptedResponse response = test::ScriptedResponse::eventStream();
    for (std::size_t at = 0; at < reply.size(); at += kMiB) {
        response.write(reply.substr(at, kMiB));
    }
    return response;
}

// The backend in a child process: serves the warm-up answer, the reply of
// `mode` and the closing answer, until `hold` is closed. Returns its port.
int startBackend(const std::string& mode, int& hold) {
    int portPipe[2];
    int holdPipe[2];
    if (::pipe(portPipe) != 0 || ::pipe(holdPipe) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    if (::fork() == 0) {
        ::close(portPipe[0]);
        ::close(holdPipe[1]);
        test::LoopbackServer server;
        server.enqueue(
            test::ScriptedResponse::eventStream().write(textReply("Ready.", "end_turn")));
        server.enqueue(replyOf(mode));
        server.enqueue(test::ScriptedResponse::eventStream().write(textReply("Done.", "end_turn")));
        const int port = server.port();
        if (::write(portPipe[1], &port, sizeof port) != sizeof port) {
            ::_exit(1);
        }
        char ignored = 0;
        while (::read(holdPipe[0], &ignored, 1) > 0) {
        }
        ::_exit(0);
    }
    ::close(portPipe[1]);
    ::close(holdPipe[0]);
    hold = holdPipe[1];
    int port = 0;
    if (::read(portPipe[0], &port, sizeof port) != sizeof port) {
        std::fprintf(stderr, "the backend did not start\n");
        std::exit(1);
    }
    ::close(portPipe[0]);
    return port;
}

Project twoClips() {
    return Project{{makeTrack(TrackType::video, "Video 1",
                              {makeClip(0, 8, TrackType::video, "intro.mov"),
                               makeClip(8, 2, TrackType::video, "outro.mov")})},
                   3600};
}

// The chat bar's road as the editor wires it, to a backend at `baseURL`.
struct Editor : bench::ChatTimeline {
    explicit Editor(const std::string& baseURL)
        : ChatTimeline(twoClips())
        , viewModel{std::make_shared<InterpretInstructionUseCase>(
                        std::make_shared<ClaudeLLMService>(std::make_shared<ClaudeAPIClient>(
                            std::make_shared<net::CurlHttpClient>(), token, token, baseURL,
                            std::nullopt, 2048, 60, 1, std::make_shared<SteadySleeper>())),
                        repository),
                    timeline, [] { return std::filesystem::path("/tmp"); }, settings, logger} {}

    void send(const std::string& text) {
        viewModel.setInstructionText(text);
        viewModel.startSubmit();
        QElapsedTimer waited;
        waited.start();
        while (viewModel.currentTask() && waited.elapsed() < 120'000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        QCoreApplication::processEvents();
    }

    QTemporaryDir folder;
    QSettings settings{folder.filePath("settings.ini"), QSettings::IniFormat};
    AccessTokenOperation token = [](std::stop_token) { return std::string("token"); };
    InstructionViewModel viewModel;
};

int run(const std::string& mode, int argc, char** argv) {
    int hold = -1;
    const int port = startBackend(mode, hold);
    QCoreApplication application(argc, argv);
    Editor editor("http://127.0.0.1:" + std::to_string(port));
    // The first instruction sets up what every instruction uses (the
    // transport, the text tables); the measure starts after it.
    editor.send("Hello");

    const double before = statusMegabytes("VmRSS");
    const bool reset = resetPeak();
    QElapsedTimer elapsed;
    elapsed.start();
    editor.send("Move the outro");
    const double seconds = static_cast<double>(elapsed.elapsed()) / 1000;
    const double peak = statusMegabytes("VmHWM");
    const double after = statusMegabytes("VmRSS");
    ::malloc_trim(0);
    const double trimmed = statusMegabytes("VmRSS");
    ::close(hold);
    ::wait(nullptr);

    const std::vector<ChatMessage>& chat = editor.viewModel.chatHistory().messages();
    const std::string outcome = chat.empty() ? "" : chat.back().content().substr(0, 100);
    std::printf("%s: resident %.1f MiB before, peak %.1f MiB (+%.1f)%s, %.1f MiB after "
                "(+%.1f), %.1f MiB after malloc_trim (+%.1f); %.1f s; the chat ends with \"%s\"\n",
                mode.c_str(), before, peak, peak - before, reset ? "" : " (peak not reset)", after,
                after - before, trimmed, trimmed - before, seconds, outcome.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        const int thirty = bench::runAgainWith("thirty");
        const int filled = bench::runAgainWith("filled");
        return thirty != 0 ? thirty : filled;
    }
    return run(argv[1], argc, argv);
}
