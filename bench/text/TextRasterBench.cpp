// Rasterising a two-line title of 40 characters for a 1080p frame, as the
// frame compositor does once per text (measure, then draw at twice the box),
// beside Qt drawing the same lines at the same pixel size into a cleared
// picture of the same size with QPainter::drawText: the font system's own
// cost. Prints our time over Qt's.

#include "data/composition/TextRenderer.h"
#include "support/GuiBenchmarks.h"
#include "support/RunTimes.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

using namespace vexel;

namespace {

constexpr double kFrameWidth = 1920;
constexpr double kFrameHeight = 1080;
const std::string kTitle = "Summer in the Mountains\nA Family Journey";

// A style of 48 points in a 450-high frame, at 1080 lines.
TextStyle titleStyle(double strokeWidth) {
    TextStyle style;
    style.fontSize = 48 * kFrameHeight / 450;
    style.strokeWidth = strokeWidth;
    style.strokeColor = "black";
    return style;
}

constexpr double boxWidth() {
    return TextStyle::defaultBoxWidth * kFrameWidth;
}

void rasterise(benchmark::State& state, double strokeWidth) {
    const TextStyle style = titleStyle(strokeWidth);
    // As the preview's text cache renders: a title drawn again reuses the
    // memory of the last one of its size.
    media::PixelBufferRecycler rasters;
    for (auto _ : state) {
        const media::Size box = TextRenderer::measureTextSize(kTitle, style, boxWidth());
        media::PixelBuffer raster = TextRenderer::render(kTitle, style, box, &rasters);
        if (raster.isNull()) {
            state.SkipWithError("no raster");
            return;
        }
        benchmark::DoNotOptimize(raster.data());
    }
    const media::Size box = TextRenderer::measureTextSize(kTitle, style, boxWidth());
    state.counters["pixels_wide"] = TextRenderer::scale * box.width;
    state.counters["pixels_high"] = TextRenderer::scale * box.height;
}

void qtDrawText(benchmark::State& state) {
    const TextStyle style = titleStyle(0);
    const media::Size box = TextRenderer::measureTextSize(kTitle, style, boxWidth());
    const QSize pixels(static_cast<int>(TextRenderer::scale * box.width),
                       static_cast<int>(TextRenderer::scale * box.height));
    QFont font("DejaVu Sans");
    font.setPixelSize(static_cast<int>(TextRenderer::scale * style.fontSize));
    for (auto _ : state) {
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(QRect(QPoint(0, 0), pixels), Qt::AlignLeft | Qt::AlignTop,
                             QString::fromStdString(kTitle));
        }
        benchmark::DoNotOptimize(image.bits());
    }
}

BENCHMARK(qtDrawText)
    ->Name("Qt_drawText_title_1080p")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5);
BENCHMARK_CAPTURE(rasterise, plain, 0)
    ->Name("TextRenderer_title_1080p")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5);
BENCHMARK_CAPTURE(rasterise, outlined, 3)
    ->Name("TextRenderer_outlined_title_1080p")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5);

} // namespace

int main(int argc, char** argv) {
    bench::RunTimesReporter reporter;
    bench::runGuiBenchmarks(argc, argv, reporter);
    const auto baseline = reporter.fastestAndMedian("Qt_drawText");
    for (const char* name : {"TextRenderer_title", "TextRenderer_outlined"}) {
        const auto ours = reporter.fastestAndMedian(name);
        if (baseline.first > 0 && ours.first > 0) {
            std::printf("%s: fastest %.2f ms, median %.2f ms (target <= 5 ms); over Qt drawText: "
                        "fastest %.2f, medians %.2f\n",
                        name, ours.first, ours.second, ours.first / baseline.first,
                        ours.second / baseline.second);
        }
    }
    return 0;
}
