// Scrubbing through the real timeline panel and preview pane (offscreen): the
// lanes' background dragged across 5 s of a 1080p30 clip with 2 s between key
// frames in 1 s, one step every 16 ms, as a hand drags it. Two runs, each on
// a player of its own:
// - the first drag of a freshly opened project: the document opened, the
//   preview rebuilt after its pause, and the hand pressing and moving as soon
//   as the picture shows;
// - a forward drag and the same drag back, each once the pressed frame shows.
// Each drag counts the different frames painted while the hand moved, as
// frames per second of drag, the longest time the picture stood still while
// the hand moved, the frames painted against the hand's direction, and the
// time from the release to the exact frame of the last step on screen; beside
// them in the same run, a reader newly opened at that frame. States the
// process's peak resident memory. VEXEL_SCRUB_TRACE=1 prints every step and
// paint of each drag.

#include "BusyMovie.h"
#include "data/composition/CompositionBuilder.h"
#include "platform/media/AssetReader.h"
#include "platform/media/MovieWriter.h"
#include "platform/playback/SilentAudioSink.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/Pointer.h"
#include "presentation/viewmodels/PreviewItemBuilder.h"
#include "presentation/viewmodels/PreviewRebuilder.h"
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
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

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

const std::filesystem::path& scrubMovie() {
    static const std::filesystem::path movie =
        bench::writeBusyMovie("scrub.mp4", {.frameCount = 300, .maxKeyFrameInterval = 60});
    return movie;
}

// The frame index (at 30 fps) of a frame time.
std::int64_t frameIndex(const MediaTime& time) {
    return time.value() * 30 / time.timescale();
}

// The timeline panel and the preview pane as the window has them, over one
// real player on a real clock without sound, and the window's rebuild of the
// preview after a change of the project. Starts with a new, empty document.
struct Screen {
    Project project = scrubProject(scrubMovie());
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
    test::ConversationHarness editing{Project::makeNew()};
    PreviewRebuilder rebuilder{editing.timeline, preview, logger};
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
    }

    // Opens the project as a document, and waits until its first frame is on
    // screen.
    void open() {
        bool painted = false;
        const auto connection =
            QObject::connect(&view.surface(), &VideoSurface::framePainted,
                             [&](const MediaTime&, const MediaTime&) { painted = true; });
        editing.timeline.setProject(project);
        const bool shown = runEventsUntil([&] { return preview.hasContent() && painted; },
                                          std::chrono::seconds(60));
        QObject::disconnect(connection);
        if (!shown) {
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
    double framesPerSecond = 0;
    double longestStillMilliseconds = 0;
    // Paints of a frame older, against the hand's direction, than the one
    // painted before.
    int stepsBack = 0;
    double restMilliseconds = 0;
    MediaTime rest;
};

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

bool tracing() {
    const char* trace = std::getenv("VEXEL_SCRUB_TRACE");
    return trace && std::string(trace) == "1";
}

// Presses at `from`, then moves to `to` in kSteps steps; with `waitAtPress`,
// only once the pressed frame is on screen, else at once, as a hand that
// does not look first.
DragResult drag(Screen& screen, double from, double to, bool waitAtPress, double& peakMegabytes) {
    struct Paint {
        Clock::time_point at;
        std::int64_t frame;
    };
    std::vector<Paint> paints;
    std::vector<std::pair<Clock::time_point, std::int64_t>> steps;
    // What is on screen now: a press where the playhead already is shows
    // nothing new.
    std::optional<MediaTime> lastPainted;
    if (const auto& frame = screen.preview.player().currentVideoFrame()) {
        lastPainted = frame->time;
    }
    const auto connection = QObject::connect(&screen.view.surface(), &VideoSurface::framePainted,
                                             [&](const MediaTime& time, const MediaTime&) {
                                                 lastPainted = time;
                                                 paints.push_back({Clock::now(), frameIndex(time)});
                                             });
    test::Pointer hand(screen.lanes());
    const Clock::time_point pressed = Clock::now();
    hand.press(screen.at(from));
    steps.emplace_back(pressed, frameIndex(screen.playheadFrame()));
    if (waitAtPress) {
        // Pressed and held: the drag starts from the frame there.
        const MediaTime start = screen.playheadFrame();
        runEventsUntil([&] { return lastPainted == start; }, std::chrono::seconds(10));
    }
    const Clock::time_point moving = Clock::now();
    const std::size_t paintsBefore = paints.size();
    auto next = moving;
    for (int i = 1; i <= kSteps; ++i) {
        next += kStep;
        hand.moveTo(screen.at(from + (to - from) * i / kSteps));
        steps.emplace_back(Clock::now(), frameIndex(screen.playheadFrame()));
        runEventsFor(next);
        peakMegabytes = std::max(peakMegabytes, bench::residentMegabytes());
    }
    hand.release(screen.at(to));
    const Clock::time_point released = Clock::now();
    const std::size_t paintsMoving = paints.size();

    DragResult result;
    result.rest = screen.playheadFrame();
    runEventsUntil([&] { return lastPainted == result.rest; }, std::chrono::seconds(10));
    result.restMilliseconds = millisecondsBetween(released, Clock::now());

    // While the hand moved: the different frames, the longest stretch
    // without a new one, and the steps back.
    const int direction = to >= from ? 1 : -1;
    std::set<std::int64_t> distinct;
    Clock::time_point changed = moving;
    std::optional<std::int64_t> shown;
    for (std::size_t i = 0; i < paintsMoving; ++i) {
        const Paint& paint = paints[i];
        if (shown && (paint.frame - *shown) * direction < 0) {
            ++result.stepsBack;
        }
        if (i >= paintsBefore && paint.frame != shown) {
            distinct.insert(paint.frame);
            result.longestStillMilliseconds =
                std::max(result.longestStillMilliseconds, millisecondsBetween(changed, paint.at));
            changed = paint.at;
        }
        shown = paint.frame;
    }
    result.longestStillMilliseconds =
        std::max(result.longestStillMilliseconds, millisecondsBetween(changed, released));
    result.distinctFrames = distinct.size();
    result.framesPerSecond =
        static_cast<double>(distinct.size()) / (millisecondsBetween(moving, released) / 1000);
    QObject::disconnect(connection);

    if (tracing()) {
        std::fprintf(stderr, "drag %.1f s -> %.1f s (ms from the press):\n", from, to);
        std::size_t p = 0;
        for (const auto& [at, frame] : steps) {
            while (p < paints.size() && paints[p].at <= at) {
                std::fprintf(stderr, "  %7.1f   paint %3lld\n",
                             millisecondsBetween(pressed, paints[p].at),
                             static_cast<long long>(paints[p].frame));
                ++p;
            }
            std::fprintf(stderr, "  %7.1f hand %3lld\n", millisecondsBetween(pressed, at),
                         static_cast<long long>(frame));
        }
        for (; p < paints.size(); ++p) {
            std::fprintf(stderr, "  %7.1f   paint %3lld\n",
                         millisecondsBetween(pressed, paints[p].at),
                         static_cast<long long>(paints[p].frame));
        }
    }
    return result;
}

void report(benchmark::State& state, const std::string& name, const DragResult& drag) {
    state.counters[name + "_fps"] = drag.framesPerSecond;
    state.counters[name + "_still_ms"] = drag.longestStillMilliseconds;
    state.counters[name + "_back_steps"] = drag.stepsBack;
    state.counters[name + "_rest_ms"] = drag.restMilliseconds;
}

// A reader newly opened at `frame`: what the exact frame at rest is measured
// against.
double readerMilliseconds(benchmark::State& state, const MediaTime& frame) {
    const media::Asset asset = media::Asset::load(scrubMovie());
    const auto open = Clock::now();
    media::AssetReader reader(asset, *asset.firstTrack(media::MediaType::video),
                              {.timeRange = media::MediaTimeRange{frame, MediaTime(1, 30)}});
    reader.startReading();
    if (!reader.copyNextVideoFrame()) {
        state.SkipWithError("the reader gave no frame");
    }
    return millisecondsBetween(open, Clock::now());
}

void reportMemory(benchmark::State& state, const Screen& screen, double peak) {
    const playback::SeekStatistics seeks = screen.preview.player().seekStatistics();
    state.counters["seeks_decoded"] = static_cast<double>(seeks.decoded);
    state.counters["seeks_from_cache"] = static_cast<double>(seeks.fromCache);
    state.counters["cache_mib"] = static_cast<double>(seeks.cachedBytes) / (1 << 20);
    state.counters["peak_rss_mib"] = peak;
}

void firstDrag(benchmark::State& state) {
    DragResult first;
    double peak = bench::residentMegabytes();
    std::unique_ptr<Screen> screen;
    for (auto _ : state) {
        screen = std::make_unique<Screen>();
        screen->open();
        const auto start = Clock::now();
        first = drag(*screen, kDragFrom, kDragFrom + kDragSeconds, false, peak);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    report(state, "first", first);
    state.counters["reader_at_rest_ms"] = readerMilliseconds(state, first.rest);
    reportMemory(state, *screen, peak);
}

void laterDrags(benchmark::State& state) {
    Screen screen;
    screen.open();
    double peak = bench::residentMegabytes();
    DragResult forward;
    DragResult back;
    for (auto _ : state) {
        const auto start = Clock::now();
        forward = drag(screen, kDragFrom, kDragFrom + kDragSeconds, true, peak);
        back = drag(screen, kDragFrom + kDragSeconds, kDragFrom, true, peak);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    report(state, "forward", forward);
    report(state, "back", back);
    state.counters["reader_at_rest_ms"] = readerMilliseconds(state, forward.rest);
    reportMemory(state, screen, peak);
}

BENCHMARK(firstDrag)
    ->Name("Preview_scrub_first_drag_of_an_opened_project_1080p30_5s_in_1s")
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK(laterDrags)
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
