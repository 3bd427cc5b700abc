// The main window's hot paths, drawn on the offscreen platform:
// - one streamed token into the reply at the end of a 500-message
//   conversation: the chat updates the reply's bubble, lays the list out and
//   paints what changed (target < 2 ms); the baseline of the same run is the
//   same token into a conversation of that reply alone, which shows what the
//   500 messages before it cost.

#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/usecases/DefaultHandlers.h"
#include "presentation/viewmodels/InstructionViewModel.h"
#include "presentation/views/chat/ChatHistoryView.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/kit/Theme.h"
#include "support/FakeExportService.h"
#include "support/FakeMediaLoader.h"
#include "support/InterleavedBenchmarks.h"
#include "support/RunTimes.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

using namespace vexel;

namespace {

// The conversation is built by hand; nothing asks the assistant.
class NoAssistant final : public InterpretInstructionExecutable {
public:
    LLMResponse execute(const std::string&, const std::vector<ChatMessage>&,
                        const std::optional<Uuid>&, std::stop_token) override {
        throw std::logic_error("no assistant in this benchmark");
    }
    AsyncStream<LLMStreamEvent> streamExecute(const std::string&, const std::vector<ChatMessage>&,
                                              const std::optional<Uuid>&) override {
        throw std::logic_error("no assistant in this benchmark");
    }
};

// The chat column as the window shows it, over the real view models.
struct ChatColumn {
    std::shared_ptr<Logger> logger = std::make_shared<NullLogger>();
    std::shared_ptr<InMemoryProjectRepository> repository =
        std::make_shared<InMemoryProjectRepository>(Project::makeNew());
    ErrorBannerViewModel banner{logger};
    TimelineViewModel timeline{
        repository->load(), banner,
        WrappedEditCommandExecutor(
            std::make_shared<DefaultEditCommandExecutor>(makeDefaultEditCommandExecutor(
                repository, std::make_shared<vexel::testing::FakeMediaLoader>(),
                std::make_shared<vexel::testing::FakeExportService>())))};
    QTemporaryDir folder;
    QSettings settings{folder.filePath("settings.ini"), QSettings::IniFormat};
    InstructionViewModel viewModel{std::make_shared<NoAssistant>(), timeline,
                                   [] { return std::filesystem::path("/tmp"); }, settings, logger};
    IconRegistry icons{logger};
    InstructionInputView view{viewModel, icons};
    Uuid reply = Uuid::random();

    explicit ChatColumn(int earlierMessages) {
        ChatHistoryManager& chat = viewModel.chatHistory();
        for (int n = 0; n < earlierMessages; ++n) {
            if (n % 2 == 0) {
                chat.appendMessage(ChatMessage::make(
                    ChatMessage::Role::user,
                    {ChatMessage::Text{"Trim clip " + std::to_string(n) + " to 5 seconds"}}));
            } else {
                chat.appendAssistantMessage("Trimmed clip " + std::to_string(n - 1) +
                                            " to 5 seconds and moved the clips after it, so "
                                            "that no gap is left on the track.");
            }
        }
        chat.appendStreamingMessage(reply);
        chat.updateStreamingMessage(reply, "Working");
        view.resize(320, 800);
        view.show();
        QCoreApplication::processEvents();
        QScrollBar* bar = view.historyView()->messageScrollArea()->verticalScrollBar();
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
    }
};

void streamedToken(benchmark::State& state) {
    ChatColumn column(static_cast<int>(state.range(0)));
    ChatHistoryManager& chat = column.viewModel.chatHistory();
    std::string text = "Working";
    int tokens = 0;
    for (auto _ : state) {
        // A reply of up to some 900 characters, as the assistant writes them.
        if (++tokens % 150 == 0) {
            text = "Working";
        }
        text += tokens % 7 == 0 ? " clip." : " on it";
        chat.updateStreamingMessage(column.reply, text);
        // The deferred layout and the paint of what changed.
        QCoreApplication::processEvents();
    }
    state.counters["bubbles"] = static_cast<double>(column.view.historyView()->bubbles().size());
}

BENCHMARK(streamedToken)
    ->Name("StreamedToken")
    ->Arg(0)
    ->Arg(500)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    bench::InterleavedArguments arguments(argc, argv);
    QApplication application(arguments.count(), arguments.values());
    applyDarkTheme(application);
    bench::RunTimesReporter reporter;
    bench::runPreparedBenchmarks(&reporter, {});
    const auto alone = bench::fastestAndMedian(reporter.times("StreamedToken", "0").wall);
    const auto long_ = bench::fastestAndMedian(reporter.times("StreamedToken", "500").wall);
    if (alone.first > 0 && long_.first > 0) {
        std::printf("\none streamed token into a 500-message conversation: median %.3f ms "
                    "(fastest %.3f), target 2 ms: %s; into the reply alone: median %.3f ms\n",
                    long_.second, long_.first, long_.second < 2 ? "met" : "missed", alone.second);
    }
    return 0;
}
