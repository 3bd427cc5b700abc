// The player on 1080p30 H.264: the time from an exact seek to its frame
// being handed over, beside an AssetReader opened at the same frame in the
// same run; and playing a 10 s two-clip composition with a 1 s cross-dissolve
// in real time, counting frames that came late or not at all, beside reading
// the composition flat out.

#include "BusyMovie.h"
#include "platform/media/AssetReader.h"
#include "platform/media/CompositionReader.h"
#include "platform/media/LayerVideoCompositionInstruction.h"
#include "platform/media/MovieWriter.h"
#include "platform/media/MutableComposition.h"
#include "platform/playback/Player.h"
#include "platform/playback/SilentAudioSink.h"
#include "support/PlayThrough.h"
#include "support/ReadEveryFrame.h"
#include "support/ResidentMemory.h"
#include "support/RunEventsUntil.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <chrono>
#include <ctime>
#include <stdexcept>
#include <vector>

using namespace vexel::media;
using namespace vexel::playback;
using vexel::testing::runEventsUntil;

namespace {

using Clock = std::chrono::steady_clock;

std::shared_ptr<const Asset> loadedMovie(const std::string& name,
                                         const vexel::bench::BusyMovie& movie) {
    return std::make_shared<const Asset>(Asset::load(vexel::bench::writeBusyMovie(name, movie)));
}

int videoTrackOf(const Asset& asset) {
    return asset.firstTrack(MediaType::video)->trackID;
}

// CPU time of the whole process (every thread) so far, in ms: on a busy
// machine the work a seek costs says more than how long it waited.
double processCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double percentile90(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() * 9 / 10];
}

void reportSeeks(benchmark::State& state, const std::vector<double>& latencies, double cpuStart) {
    state.counters["median_ms"] = median(latencies);
    state.counters["p90_ms"] = percentile90(latencies);
    state.counters["cpu_ms_per_seek"] =
        (processCpuMilliseconds() - cpuStart) / static_cast<double>(latencies.size());
}

// 10 s with a key frame at least every 2 s.
const std::shared_ptr<const Asset>& seekSource() {
    static const std::shared_ptr<const Asset> asset =
        loadedMovie("seek.mp4", {.frameCount = 300, .maxKeyFrameInterval = 60});
    return asset;
}

// Frames all over the key-frame interval, the same in every run.
std::vector<int> seekTargets() {
    std::vector<int> targets;
    for (int i = 0; i < 40; ++i) {
        targets.push_back((17 + 37 * i) % 299);
    }
    return targets;
}

void exactSeek(benchmark::State& state) {
    auto clock = std::make_shared<SteadyMonotonicClock>();
    Player player(clock, std::make_unique<SilentAudioSink>(clock));
    std::optional<MediaTime> shown;
    QObject::connect(&player, &Player::videoFrameChanged,
                     [&](const VideoFrame& frame) { shown = frame.time; });
    player.replaceCurrentItem(vexel::bench::wholeClip(seekSource()));
    runEventsUntil([&] { return shown.has_value(); }, std::chrono::seconds(30));

    std::vector<double> latencies;
    std::vector<int> targets = seekTargets();
    std::size_t next = 0;
    double cpuStart = processCpuMilliseconds();
    for (auto _ : state) {
        MediaTime target(targets[next++ % targets.size()], 30);
        shown.reset();
        auto start = Clock::now();
        player.seek(target);
        if (!runEventsUntil([&] { return shown == target; }, std::chrono::seconds(30))) {
            state.SkipWithError("the frame did not come");
            break;
        }
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        latencies.push_back(seconds * 1000);
    }
    reportSeeks(state, latencies, cpuStart);
    // What the seeks cost in decoding: frames out of the decoder and returns
    // to a key frame, per seek.
    const SeekStatistics seeks = player.seekStatistics();
    const double count = std::max<double>(1, static_cast<double>(latencies.size()));
    state.counters["frames_decoded_per_seek"] = static_cast<double>(seeks.sourceFrames) / count;
    state.counters["key_frame_seeks_per_seek"] = static_cast<double>(seeks.keyFrameSeeks) / count;
}

// The library's own limit: a reader opened at the frame, decoding from the
// key frame before it to the frame.
void readerAtFrame(benchmark::State& state) {
    const Asset& asset = *seekSource();
    std::vector<double> latencies;
    std::vector<int> targets = seekTargets();
    std::size_t next = 0;
    double cpuStart = processCpuMilliseconds();
    for (auto _ : state) {
        MediaTime target(targets[next++ % targets.size()], 30);
        auto start = Clock::now();
        AssetReader reader(asset, *asset.firstTrack(MediaType::video),
                           {.timeRange = MediaTimeRange{target, MediaTime(1, 30)}});
        reader.startReading();
        auto frame = reader.copyNextVideoFrame();
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!frame || frame->time != target) {
            state.SkipWithError("wrong frame");
            break;
        }
        state.SetIterationTime(seconds);
        latencies.push_back(seconds * 1000);
    }
    reportSeeks(state, latencies, cpuStart);
}

// A on [0, 5.5 s), B from 4.5 s to 10 s, dissolving into each other over
// [4.5 s, 5.5 s) as the preview's layer form draws it: A on top fading out
// over B, which shows in full from its start.
PlayerItem crossDissolve() {
    static const std::shared_ptr<const Asset> a = loadedMovie("dissolve-a.mp4", {});
    static const std::shared_ptr<const Asset> b = loadedMovie("dissolve-b.mp4", {.seed = 7});
    const MediaTime part(11, 2);
    const MediaTimeRange dissolve{MediaTime(9, 2), MediaTime(1, 1)};
    MutableComposition composition;
    CompositionTrack* first = composition.addTrack(MediaType::video);
    CompositionTrack* second = composition.addTrack(MediaType::video);
    first->insertTimeRange({MediaTime::zero(), part}, a, videoTrackOf(*a), MediaTime::zero());
    second->insertTimeRange({MediaTime::zero(), part}, b, videoTrackOf(*b), dissolve.start);
    PlayerItem item{composition.copy()};
    VideoCompositionLayerInstruction top;
    top.trackID = first->trackID();
    top.opacity.setRamp(1, 0, dissolve);
    VideoCompositionLayerInstruction bottom;
    bottom.trackID = second->trackID();
    bottom.opacity.setValue(0, MediaTime::zero());
    bottom.opacity.setValue(1, dissolve.start);
    VideoComposition video;
    video.renderSize = {1920, 1080};
    video.instructions = {std::make_shared<LayerVideoCompositionInstruction>(
        MediaTimeRange{MediaTime::zero(), item.duration()},
        std::vector<VideoCompositionLayerInstruction>{top, bottom})};
    item.videoComposition = std::move(video);
    return item;
}

// Plays the 10 s through in real time. A frame is late when it is handed over
// after the next one was due; a frame that never comes counts as late too.
void playCrossDissolve(benchmark::State& state) {
    PlayerItem item = crossDissolve();
    double before = 0;
    double peak = 0;
    std::int64_t late = 0;
    std::int64_t shownFrames = 0;
    for (auto _ : state) {
        const vexel::bench::PlayedThrough played = vexel::bench::playThrough(
            item, [&] { before = vexel::bench::residentMegabytes(); },
            [&] { peak = std::max(peak, vexel::bench::residentMegabytes()); });
        const std::vector<std::int64_t>& indices = played.indices;
        state.SetIterationTime(played.seconds);
        late += played.late + 300 - static_cast<std::int64_t>(indices.size());
        shownFrames += static_cast<std::int64_t>(indices.size());
        if (!std::is_sorted(indices.begin(), indices.end()) ||
            std::adjacent_find(indices.begin(), indices.end()) != indices.end()) {
            state.SkipWithError("frames out of order or repeated");
        }
    }
    state.counters["frames_shown"] = static_cast<double>(shownFrames);
    state.counters["late_or_missing"] = static_cast<double>(late);
    state.counters["rss_before_play_mib"] = before;
    state.counters["peak_rss_mib"] = peak;
}

// The same composition read flat out: the speed playback has to spare.
void readCrossDissolve(benchmark::State& state) {
    PlayerItem item = crossDissolve();
    std::int64_t frames = 0;
    for (auto _ : state) {
        CompositionReader reader(item.composition);
        reader.addVideoOutput(*item.videoComposition);
        reader.startReading();
        frames += vexel::bench::readEveryVideoFrame(reader);
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}

BENCHMARK(readerAtFrame)
    ->Name("AssetReader_h264_1080p30_open_at_frame/keyint_2s")
    ->Iterations(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(exactSeek)
    ->Name("Player_h264_1080p30_exact_seek/keyint_2s")
    ->Iterations(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(readCrossDissolve)
    ->Name("CompositionReader_1080p30_cross_dissolve_10s")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(playCrossDissolve)
    ->Name("Player_1080p30_cross_dissolve_10s_realtime")
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
