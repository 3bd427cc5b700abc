// One frame's work on a title that is already rasterised and cached, as the
// frame compositor does it for every frame of an animated title: place the
// raster in a 1080p frame, compute the entrance's state, scale, move, fade,
// and composite it over the frame. Two entrances: a slide (a fractional move)
// and a scale-in (a resampling scale). On one core and on eight (the caller
// and seven workers). The baseline of the same run is compositing a whole
// 1080p frame over another at whole pixels, what the plainest clip layer
// costs. Prints our time against the 2 ms target and against the baseline.

#include "data/composition/OverlayRenderer.h"
#include "data/composition/TextOverlayRenderer.h"
#include "domain/utilities/TextAnimationCalculator.h"
#include "foundation/WorkerPool.h"
#include "platform/image/Compositing.h"
#include "support/GuiBenchmarks.h"
#include "support/RunTimes.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using namespace vexel;

namespace {

constexpr media::Size kFrame{1920, 1080};
const std::string kTitle = "Summer in the Mountains\nA Family Journey";

WorkerPool& pool(int cores) {
    static WorkerPool alone(0);
    static WorkerPool eight(7);
    return cores == 1 ? alone : eight;
}

media::PixelBuffer busyFrame() {
    media::PixelBuffer buffer = media::PixelBuffer::create(1920, 1080);
    std::uint32_t seed = 1;
    for (int y = 0; y < buffer.height(); ++y) {
        std::uint8_t* row = buffer.row(y);
        for (int x = 0; x < buffer.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            row[4 * x + 0] = static_cast<std::uint8_t>(seed >> 24);
            row[4 * x + 1] = static_cast<std::uint8_t>(x & 0xFF);
            row[4 * x + 2] = static_cast<std::uint8_t>(y & 0xFF);
            row[4 * x + 3] = 255;
        }
    }
    return buffer;
}

ColorAdjustInstruction::TextOverlayEntry titleEntry(TextEntranceType entrance) {
    ColorAdjustInstruction::TextOverlayEntry entry;
    entry.text = kTitle;
    entry.position = TextPosition::center();
    entry.style.strokeWidth = 2;
    entry.style.strokeColor = "black";
    TextAnimation animation;
    animation.entrance = entrance;
    entry.textAnimation = animation;
    return entry;
}

void titleEntrance(benchmark::State& state, TextEntranceType entrance, int cores) {
    const ColorAdjustInstruction::TextOverlayEntry entry = titleEntry(entrance);
    const media::PixelBuffer raster = OverlayRenderer::renderTextImage(entry, kFrame);
    if (raster.isNull()) {
        state.SkipWithError("no raster");
        return;
    }
    media::PixelBuffer frame = busyFrame();
    WorkerPool& workers = pool(cores);
    // Half way through the entrance of a 6 s title, inside a fade-in.
    const double elapsed = 0.45;
    const float fade = 0.6f;
    for (auto _ : state) {
        std::optional<image::Picture> title =
            OverlayRenderer::positionTextOverlay(raster, entry, kFrame);
        const TextAnimationState motion =
            TextAnimationCalculator::calculate(*entry.textAnimation, elapsed, 6);
        image::Picture moved =
            TextOverlayRenderer::applyAnimationTransforms(*title, motion, kFrame);
        if (motion.maskProgress) {
            moved = TextOverlayRenderer::applyWipeMask(
                moved, *motion.maskProgress, motion.maskDirection.value_or(Direction::left));
        }
        if (motion.opacity < 1) {
            moved = moved.withAlpha(motion.opacity);
        }
        moved = moved.withAlpha(fade);
        image::compositeOver(frame, moved, workers);
        benchmark::DoNotOptimize(frame.data());
    }
    state.counters["raster_wide"] = raster.width();
    state.counters["raster_high"] = raster.height();
}

void wholeFrameLayer(benchmark::State& state, int cores) {
    media::PixelBuffer frame = busyFrame();
    const image::Picture layer = image::Picture(busyFrame()).withAlpha(0.6);
    WorkerPool& workers = pool(cores);
    for (auto _ : state) {
        image::compositeOver(frame, layer, workers);
        benchmark::DoNotOptimize(frame.data());
    }
}

BENCHMARK_CAPTURE(wholeFrameLayer, one, 1)
    ->Name("WholeFrameLayer_1core")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7);
BENCHMARK_CAPTURE(wholeFrameLayer, eight, 8)
    ->Name("WholeFrameLayer_8cores")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7);
BENCHMARK_CAPTURE(titleEntrance, slide1, TextEntranceType::slideIn(Direction::up), 1)
    ->Name("TitleSlideIn_1core")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7);
BENCHMARK_CAPTURE(titleEntrance, slide8, TextEntranceType::slideIn(Direction::up), 8)
    ->Name("TitleSlideIn_8cores")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7);
BENCHMARK_CAPTURE(titleEntrance, scale1, TextEntranceType::scaleIn(), 1)
    ->Name("TitleScaleIn_1core")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7);
BENCHMARK_CAPTURE(titleEntrance, scale8, TextEntranceType::scaleIn(), 8)
    ->Name("TitleScaleIn_8cores")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7);

} // namespace

int main(int argc, char** argv) {
    bench::RunTimesReporter reporter;
    bench::runGuiBenchmarks(argc, argv, reporter);
    for (const char* cores : {"1core", "8cores"}) {
        const auto baseline = reporter.fastestAndMedian(std::string("WholeFrameLayer_") + cores);
        for (const char* title : {"TitleSlideIn_", "TitleScaleIn_"}) {
            const auto ours = reporter.fastestAndMedian(std::string(title) + cores);
            if (baseline.first > 0 && ours.first > 0) {
                std::printf("%s%s: fastest %.3f ms, median %.3f ms (target <= 2 ms); over a whole "
                            "frame layer: fastest %.2f, medians %.2f\n",
                            title, cores, ours.first, ours.second, ours.first / baseline.first,
                            ours.second / baseline.second);
            }
        }
    }
    return 0;
}
