// The editor's window as the application makes it, drawn on a real X server.

#include "presentation/views/shell/MainWindow.h"

#include "app/AppHarness.h"
#include "presentation/support/Screenshot.h"
#include "presentation/views/shell/MainView.h"
#include "support/RunEventsUntil.h"
#include "support/media/MovieMaker.h"
#include "support/media/WavWriter.h"

#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace vexel;
using namespace vexel::test;

namespace {

// Six seconds of a quiet tone that swells and fades, so its waveform shows.
void writeSong(const std::filesystem::path& path) {
    constexpr int rate = 44100;
    std::vector<std::int16_t> samples;
    for (int i = 0; i < rate * 6; ++i) {
        const double t = double(i) / rate;
        const double loudness = 0.2 + 0.6 * std::abs(std::sin(t * 1.3));
        const auto value =
            static_cast<std::int16_t>(12000 * loudness * std::sin(t * 2 * M_PI * 220));
        samples.push_back(value);
        samples.push_back(value);
    }
    vexel::testing::writeWav(path, rate, 2, samples);
}

} // namespace

TEST(WindowScreenshotTest, Window1200x800) {
    AppHarness harness;
    harness.launch();
    EditorGraph& graph = harness.graph();
    graph.tutorialState().setCurrentStep(std::nullopt);

    vexel::testing::TestMovie movie;
    movie.width = 160;
    movie.height = 90;
    movie.frameCount = 120;
    vexel::testing::writeTestMovie(harness.root / "Intro.mp4", movie);
    vexel::testing::writeTestMovie(harness.root / "Beach.mp4", movie);
    writeSong(harness.root / "song.wav");
    TimelineViewModel& timeline = graph.timelineViewModel();
    awaitTask(timeline.addClip(harness.root / "Intro.mp4", TrackType::video, 0, "Intro.mp4"));
    awaitTask(timeline.addClip(harness.root / "Beach.mp4", TrackType::video, 4, "Beach.mp4"));
    awaitTask(timeline.addClip(harness.root / "song.wav", TrackType::audio, 0, "song.wav"));
    harness.edit(addTitle(1));

    ChatHistoryManager& chat = graph.instructionViewModel().chatHistory();
    chat.appendMessage(ChatMessage::make(ChatMessage::Role::user,
                                         {ChatMessage::Text{"Add the title \"Title\" at 1 s"}}));
    chat.appendAssistantMessage("Added text \"Title\" at 1s for 2s");
    timeline.selectClip(timeline.project().videoClips().back().id);
    graph.errorBannerViewModel().pushError(
        AppError::make(ErrorCategory::validation, "Cannot split clip here", harness.time->now()));

    MainWindow& window = harness.app->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(vexel::testing::runEventsUntil(
        [&] { return window.mainView()->waveformLoader().loadingCount() == 0; }));
    // The preview builds the project once the window's pause after a change
    // is over; then it shows the picture under the title.
    harness.time->advance(std::chrono::milliseconds(250));
    PreviewViewModel& preview = graph.previewViewModel();
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] { return preview.hasContent(); }));
    preview.seek(2.0);
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] {
        const auto& frame = preview.player().currentVideoFrame();
        return frame && frame->time.seconds() == 2.0;
    }));
    settle();
    saveScreenshot(window, "window-1200x800.png");
    EXPECT_EQ(window.size(), QSize(1200, 800));
    const int contentHeight = window.mainView()->height();
    const int top = PaneLayout::topHeight(contentHeight);
    EXPECT_EQ(window.mainView()->paneLayout().timeline, QRect(0, top, 1200, contentHeight - top));
    EXPECT_TRUE(harness.errors().empty());
}
