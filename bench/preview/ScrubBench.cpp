// Scrubbing through the real timeline panel and preview pane (offscreen): the
// lanes' background dragged across 5 s of a 1080p30 clip with 2 s between key
// frames in 1 s, one step every 16 ms, as a hand drags it, then the same drag
// back. Counts the different frames the preview painted during each drag and
// the time from the release to the exact frame of the last step on screen;
// beside them in the same run, a reader newly opened at that frame. States
// the process's peak resident memory.

#include "BusyMovie.h"
#include "data/composition/CompositionBuilder.h"
#include "platform/media/AssetReader.h"
#include "platform/media/MovieWriter.h"
#include "platform/playback/SilentAudioSink.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/Pointer.h"
#include "presentation/viewmodels/PreviewItemBuilder.h"
#include "presentation/viewmodels/PreviewViewModel.h"
#include "presentation/viewmodels/TutorialState.h"
#include "presentation/views/kit/EditRunner.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/preview/PreviewPlayerView.h"
#include "presentation/views/preview/VideoSurface.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelinePanel.h"
#include "presentation/views/timeline/TrackLanesView.h"
#include "support/ResidentMemory.h"
#include "support/RunEventsUntil.h"
#include "support/WidgetBenchmarks.h"

#include <QTimer>

#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <chrono>
#include <memory>
#include <set>
#include <stdexcept>

using namespace vexel;
using media::MediaTime;
using vexel::testing::runEventsUntil;

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kDragFrom = 2.0;
constexpr double kDragSeconds = 5.0;
constexpr auto kStep = std::chrono::milliseconds(16);
constexpr int kSteps = 62; // 1 s of steps 16 ms apart

Project scrubProject(const std::filesystem::path& movie) {
    Clip clip{.id = Uuid::random(),
              .assetName = movie.filename().string(),
              .assetURL = movie,
              .trackType = TrackType::video,
              .timeRange = {0, 10}};
    return Project{{Track{Uuid::random(), TrackType::video, "Video 1", {clip}, false},
                    Track{Uuid::random(), TrackType::audio, "Audio 1", {}, false}},
                   3600};
}

// The timeline panel and the preview pane as the window has them, over one
// real player on a real clock without sound.
struct Screen {
    std::filesystem::path movie =
        bench::writeBusyMovie("scrub.mp4", {.frameCount = 300, .maxKeyFrameInterval = 60});
    Project project = scrubProject(movie);
    std::shared_ptr<Logger> logger = std::make_shared<NullLogger>();
    std::shared_ptr<playback::SteadyMonotonicClock> clock =
        std::make_shared<playback::SteadyMonotonicClock>();
    std::shared_ptr<const PreviewItemBuilder> items =
        std::make_shared<PreviewItemBuilder>(std::make_shared<CompositionBuilder>(logger));
    PreviewViewModel preview{3600,
                             [items = items](const Project& project, std::stop_token stop) {
                                 return items->build(project, stop);
                             },
                             timerDisplayLinks(60), logger,
                             std::make_unique<playback::Player>(
                                 clock, std::make_unique<playback::SilentAudioSink>(clock))};
    test::ConversationHarness editing{project};
    TutorialState tutorial;
    IconRegistry icons{logger};
    EditRunner runner{editing.banner, editing.time, editing.logger};
    QWidget window;
    TimelinePanel* panel =
        new TimelinePanel(editing.timeline, &preview, runner, icons, nullptr, &window);
    PreviewPlayerView view{preview, editing.timeline, tutorial, icons};

    Screen() {
        window.resize(1400, 320);
        panel->setGeometry(0, 0, 1400, 320);
        view.resize(1280, 720);
        window.show();
        view.show();
        runEventsUntil([&] { return view.isVisible() && window.isVisible(); });
        preview.loadProject(project);
        if (!runEventsUntil([&] { return preview.hasContent(); }, std::chrono::seconds(60))) {
            throw std::runtime_error("the project did not load");
        }
    }

    TrackLanesView& lanes() const { return *panel->content()->lanes(); }

    QPoint at(double seconds) const {
        const double display = editing.timeline.displayDuration();
        return QPoint(static_cast<int>(seconds / display * lanes().width()),
                      lanes().rows()[1]->geometry().center().y());
    }

    // The frame showing at the playhead.
    MediaTime playheadFrame() const {
        return MediaTime(MediaTime::fromSeconds(preview.currentTime()).value() / 20, 30);
    }
};

// Runs the event loop until `deadline`, real time: the hand's pace.
void runEventsFor(Clock::time_point deadline) {
    QTimer wake;
    wake.setSingleShot(true);
    // A step already late (a loaded machine) wakes at once.
    wake.start(
        std::max(std::chrono::milliseconds(0),
                 std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())));
    runEventsUntil([&] { return Clock::now() >= deadline; }, std::chrono::seconds(5));
}

struct DragResult {
    std::size_t distinctFrames = 0;
    double restMilliseconds = 0;
    MediaTime rest;
};

DragResult drag(Screen& screen, double from, double to, double& peakMegabytes) {
    std::set<std::int64_t> painted;
    // What is on screen now: a press where the playhead already is shows
    // nothing new.
    std::optional<MediaTime> lastPainted;
    if (const auto& frame = screen.preview.player().currentVideoFrame()) {
        lastPainted = frame->time;
    }
    bool dragging = true;
    const auto connection =
        QObject::connect(&screen.view.surface(), &VideoSurface::framePainted,
                         [&](const MediaTime& time, const MediaTime&) {
                             lastPainted = time;
                             if (dragging) {
                                 painted.insert(time.value() * 30 / time.timescale());
                             }
                         });
    test::Pointer hand(screen.lanes());
    hand.press(screen.at(from));
    // Pressed and held: the drag starts from the frame there.
    const MediaTime start = screen.playheadFrame();
    runEventsUntil([&] { return lastPainted == start; }, std::chrono::seconds(10));
    painted.clear();
    auto next = Clock::now();
    for (int i = 1; i <= kSteps; ++i) {
        next += kStep;
        hand.moveTo(screen.at(from + (to - from) * i / kSteps));
        runEventsFor(next);
        peakMegabytes = std::max(peakMegabytes, bench::residentMegabytes());
    }
    dragging = false;
    hand.release(screen.at(to));
    const auto released = Clock::now();
    DragResult result;
    result.rest = screen.playheadFrame();
    runEventsUntil([&] { return lastPainted == result.rest; }, std::chrono::seconds(10));
    result.restMilliseconds =
        std::chrono::duration<double, std::milli>(Clock::now() - released).count();
    result.distinctFrames = painted.size();
    QObject::disconnect(connection);
    return result;
}

void scrub(benchmark::State& state) {
    Screen screen;
    double peak = bench::residentMegabytes();
    DragResult forward;
    DragResult back;
    for (auto _ : state) {
        const auto start = Clock::now();
        forward = drag(screen, kDragFrom, kDragFrom + kDragSeconds, peak);
        back = drag(screen, kDragFrom + kDragSeconds, kDragFrom, peak);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    // The baseline: a reader newly opened at the frame the forward drag
    // rested on.
    const media::Asset asset = media::Asset::load(screen.movie);
    const auto open = Clock::now();
    media::AssetReader reader(asset, *asset.firstTrack(media::MediaType::video),
                              {.timeRange = media::MediaTimeRange{forward.rest, MediaTime(1, 30)}});
    reader.startReading();
    if (!reader.copyNextVideoFrame()) {
        state.SkipWithError("the reader gave no frame");
    }
    const double readerMilliseconds =
        std::chrono::duration<double, std::milli>(Clock::now() - open).count();
    const playback::SeekStatistics seeks = screen.preview.player().seekStatistics();
    state.counters["forward_frames"] = static_cast<double>(forward.distinctFrames);
    state.counters["forward_rest_ms"] = forward.restMilliseconds;
    state.counters["back_frames"] = static_cast<double>(back.distinctFrames);
    state.counters["back_rest_ms"] = back.restMilliseconds;
    state.counters["reader_at_rest_ms"] = readerMilliseconds;
    state.counters["seeks_decoded"] = static_cast<double>(seeks.decoded);
    state.counters["seeks_from_cache"] = static_cast<double>(seeks.fromCache);
    state.counters["cache_mib"] = static_cast<double>(seeks.cachedBytes) / (1 << 20);
    state.counters["peak_rss_mib"] = peak;
}

BENCHMARK(scrub)
    ->Name("Preview_scrub_1080p30_5s_in_1s_and_back")
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    benchmark::ConsoleReporter reporter;
    bench::runWidgetBenchmarks(argc, argv, reporter);
    return 0;
}
