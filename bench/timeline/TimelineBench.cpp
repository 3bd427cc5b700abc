// The timeline panel's hot paths, each against a 16 ms frame: painting a
// timeline of 1000 clips; one step of a clip drag among 250 snap points, from
// the pointer event to the repaint; and a zoom from 1 to 10, relayout and
// repaint. The baseline of the same run is painting the panel of a new,
// empty project. Prints our times against the target and the baseline.

#include "BenchTimeline.h"
#include "presentation/views/timeline/DraggableClipBar.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TrackLanesView.h"
#include "presentation/views/timeline/TrackRow.h"
#include "support/BenchProjects.h"
#include "support/RunTimes.h"
#include "support/WidgetBenchmarks.h"

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace vexel;

namespace {

void emptyPanelPaint(benchmark::State& state) {
    bench::BenchTimeline screen(Project::makeNew());
    for (auto _ : state) {
        screen.paint();
    }
}

void thousandClipPaint(benchmark::State& state) {
    bench::BenchTimeline screen(bench::benchProject(1000));
    for (auto _ : state) {
        screen.paint();
    }
    state.counters["lanes"] = static_cast<double>(screen.panel->content()->lanes()->rows().size());
}

// A lane of 126 clips, 1 s each with 1 s between them: the dragged one meets
// the 250 edges of the others.
Project snapLane(Uuid& dragged) {
    Project project = Project::makeNew();
    Track lane{Uuid::random(), TrackType::video, "Video 1", {}, false};
    for (int i = 0; i < 126; ++i) {
        Clip clip;
        clip.id = Uuid::random();
        clip.assetName = "shot " + std::to_string(i) + ".mov";
        clip.timeRange = {2.0 * i, 1.0};
        lane.clips.push_back(clip);
    }
    dragged = lane.clips[60].id;
    project.tracks.insert(project.tracks.begin(), lane);
    return project;
}

void dragStep(benchmark::State& state) {
    Uuid dragged;
    bench::BenchTimeline screen(snapLane(dragged));
    screen.timeline.setZoomLevel(4);
    screen.timeline.selectClip(dragged);
    const Track& lane = screen.timeline.project().tracks[0];
    DraggableClipBar* bar = screen.panel->content()->lanes()->trackRow(lane.id)->bar(dragged);
    const QPointF start = bar->rect().center();
    const QPointF global = bar->mapToGlobal(start);
    const auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButton button,
                          Qt::MouseButtons buttons) {
        QMouseEvent event(type, bar->mapFromGlobal(at), at, button, buttons, Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    };
    send(QEvent::MouseButtonPress, global, Qt::LeftButton, Qt::LeftButton);
    double dx = 0;
    for (auto _ : state) {
        // To and fro across several neighbours, snapping on the way.
        dx = dx > 300 ? -300 : dx + 7;
        send(QEvent::MouseMove, global + QPointF(dx, 0), Qt::NoButton, Qt::LeftButton);
        screen.paint();
    }
    send(QEvent::MouseButtonRelease, global + QPointF(dx, 0), Qt::LeftButton, Qt::NoButton);
    state.counters["snap_points"] = static_cast<double>(bar->snapPoints().size());
}

void zoomToTen(benchmark::State& state) {
    bench::BenchTimeline screen(bench::benchProject(1000));
    for (auto _ : state) {
        screen.timeline.setZoomLevel(10);
        screen.paint();
        state.PauseTiming();
        screen.timeline.setZoomLevel(1);
        screen.paint();
        state.ResumeTiming();
    }
}

BENCHMARK(emptyPanelPaint)->Name("EmptyPanel_paint")->Unit(benchmark::kMillisecond)->Repetitions(7);
BENCHMARK(thousandClipPaint)
    ->Name("Timeline_1000_clips_paint")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7);
BENCHMARK(dragStep)
    ->Name("Timeline_drag_step_250_snap_points")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7);
BENCHMARK(zoomToTen)
    ->Name("Timeline_1000_clips_zoom_1_to_10")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7);

} // namespace

int main(int argc, char** argv) {
    bench::RunTimesReporter reporter;
    bench::runWidgetBenchmarks(argc, argv, reporter);
    const auto baseline = reporter.fastestAndMedian("EmptyPanel_paint");
    for (const char* name : {"Timeline_1000_clips_paint", "Timeline_drag_step_250_snap_points",
                             "Timeline_1000_clips_zoom_1_to_10"}) {
        const auto ours = reporter.fastestAndMedian(name);
        if (baseline.first > 0 && ours.first > 0) {
            std::printf("%s: fastest %.2f ms, median %.2f ms (target < 16 ms); empty panel "
                        "paint %.2f / %.2f ms, ratio of medians %.1f\n",
                        name, ours.first, ours.second, baseline.first, baseline.second,
                        ours.second / baseline.second);
        }
    }
    return 0;
}
