// The main window's hot paths, drawn on the offscreen platform:
// - one streamed token into the reply at the end of a 500-message
//   conversation: the chat updates the reply's bubble, lays the list out and
//   paints what changed (target < 2 ms); the baseline of the same run is the
//   same token into a conversation of that reply alone, which shows what the
//   500 messages before it cost.
// - one step of resizing the editor's window by hand (a few pixels wider and
//   taller, or narrower and shorter), the window made as the application makes
//   it: the content lays its panes out again and paints (target < 16 ms, one
//   frame at 60 Hz); the baseline of the same run is the same step of a window
//   of the same panes, empty.

#include "app/DependencyContainer.h"
#include "platform/playback/SilentAudioSink.h"
#include "presentation/viewmodels/InstructionViewModel.h"
#include "presentation/views/chat/ChatHistoryView.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/shell/MainWindow.h"
#include "support/ChatTimeline.h"
#include "support/InMemorySecretStore.h"
#include "support/RunTimes.h"
#include "support/WidgetBenchmarks.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QVBoxLayout>

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

// The view models of the chat: the timeline over the real edit engine and the
// conversation.
struct Editor : bench::ChatTimeline {
    QTemporaryDir folder;
    QSettings settings{folder.filePath("settings.ini"), QSettings::IniFormat};
    InstructionViewModel viewModel{std::make_shared<NoAssistant>(), timeline,
                                   [] { return std::filesystem::path("/tmp"); }, settings, logger};

    // A conversation of `count` messages, instructions and their answers.
    void converse(int count) {
        ChatHistoryManager& chat = viewModel.chatHistory();
        for (int n = 0; n < count; ++n) {
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
    }
};

// The chat column as the window shows it.
struct ChatColumn : Editor {
    IconRegistry icons{logger};
    InstructionInputView view{viewModel, icons};
    Uuid reply = Uuid::random();

    explicit ChatColumn(int earlierMessages) {
        converse(earlierMessages);
        ChatHistoryManager& chat = viewModel.chatHistory();
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

// Steps between 1200 x 800 and 1400 x 950, a few pixels at a time, as a
// window edge dragged by hand moves.
void resizeSteps(benchmark::State& state, QWidget& window) {
    window.resize(1200, 800);
    window.show();
    QCoreApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        const int phase = step++ % 80;
        const int offset = phase < 40 ? phase * 5 : (80 - phase) * 5;
        window.resize(1200 + offset, 800 + offset * 3 / 4);
        QCoreApplication::processEvents();
    }
}

void windowResize(benchmark::State& state) {
    // The application's graph over folders of its own, without a backend or
    // a sound device.
    QTemporaryDir folder;
    AppEnvironment environment;
    environment.logger = std::make_shared<NullLogger>();
    environment.secretStore = std::make_shared<vexel::testing::InMemorySecretStore>();
    environment.openUserDefaults = [&folder] {
        return std::make_unique<QSettings>(folder.filePath("settings.ini"), QSettings::IniFormat);
    };
    environment.autoSaveDirectory =
        std::filesystem::path(folder.filePath("autosave").toStdString());
    environment.environment = [](const std::string&) { return std::optional<std::string>(); };
    environment.makePlayer = [] {
        auto clock = std::make_shared<playback::SteadyMonotonicClock>();
        return std::make_unique<playback::Player>(
            clock, std::make_unique<playback::SilentAudioSink>(clock));
    };
    const std::unique_ptr<EditorGraph> graph =
        DependencyContainer::over(environment).makeEditorGraph();
    graph->userDefaults().setValue("hasCompletedOnboarding", true);
    MainWindow window;
    window.showEditor(*graph);
    ChatHistoryManager& chat = graph->instructionViewModel().chatHistory();
    for (int n = 0; n < 25; ++n) {
        chat.appendMessage(ChatMessage::make(
            ChatMessage::Role::user,
            {ChatMessage::Text{"Trim clip " + std::to_string(n) + " to 5 seconds"}}));
        chat.appendAssistantMessage("Trimmed clip " + std::to_string(n) +
                                    " to 5 seconds and moved the clips after it.");
    }
    graph->errorBannerViewModel().pushError(AppError::make(
        ErrorCategory::validation, "Failed to move clip", std::chrono::system_clock::now()));
    resizeSteps(state, window);
}

// The same panes with nothing in them.
void emptyWindowResize(benchmark::State& state) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter;
    splitter->addWidget(new QWidget);
    splitter->addWidget(new QWidget);
    layout->addWidget(splitter, 618);
    layout->addWidget(new QWidget, 382);
    resizeSteps(state, window);
}

BENCHMARK(windowResize)->Name("WindowResize")->Unit(benchmark::kMillisecond)->Repetitions(7);
BENCHMARK(emptyWindowResize)
    ->Name("EmptyWindowResize")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7);

BENCHMARK(streamedToken)
    ->Name("StreamedToken")
    ->Arg(0)
    ->Arg(500)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7);

} // namespace

int main(int argc, char** argv) {
    bench::RunTimesReporter reporter;
    bench::runWidgetBenchmarks(argc, argv, reporter);
    const auto alone = bench::fastestAndMedian(reporter.times("StreamedToken", "0").wall);
    const auto long_ = bench::fastestAndMedian(reporter.times("StreamedToken", "500").wall);
    if (alone.first > 0 && long_.first > 0) {
        std::printf("\none streamed token into a 500-message conversation: median %.3f ms "
                    "(fastest %.3f), target 2 ms: %s; into the reply alone: median %.3f ms\n",
                    long_.second, long_.first, long_.second < 2 ? "met" : "missed", alone.second);
    }
    const auto resize = reporter.fastestAndMedian("WindowResize");
    const auto empty = reporter.fastestAndMedian("EmptyWindowResize");
    if (resize.first > 0 && empty.first > 0) {
        std::printf("a step of resizing the window: median %.3f ms (fastest %.3f), target 16 ms: "
                    "%s; the same panes empty: median %.3f ms\n",
                    resize.second, resize.first, resize.second < 16 ? "met" : "missed",
                    empty.second);
    }
    return 0;
}
