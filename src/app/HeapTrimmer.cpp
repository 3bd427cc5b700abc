#include "app/HeapTrimmer.h"

#include "platform/playback/Player.h"
#include "presentation/viewmodels/runtime/BackgroundWork.h"

#include <QPointer>
#include <QThreadPool>

#include <utility>

namespace vexel {

HeapTrimmer::HeapTrimmer(std::function<void()> release, std::shared_ptr<Logger> logger,
                         SleepAction sleep, QObject* parent)
    : QObject(parent)
    , release_(std::make_shared<const std::function<void()>>(std::move(release)))
    , sleep_(std::move(sleep))
    , waiting_(std::move(logger)) {}

void HeapTrimmer::watch(const EditorGraph& graph) {
    connect(&graph.timelineViewModel(), &TimelineViewModel::projectChanged, this,
            &HeapTrimmer::workDone);
    connect(&graph.previewViewModel().player(), &playback::Player::videoFrameChanged, this,
            &HeapTrimmer::workDone);
    connect(&graph.instructionViewModel().exportCoordinator(),
            &ExportCoordinator::exportProgressChanged, this, &HeapTrimmer::workDone);
}

void HeapTrimmer::workDone() {
    ++work_;
    if (waiting_.task() && !waiting_.task()->isFinished()) {
        // The wait under way sees it and waits on.
        return;
    }
    waiting_.start([self = QPointer(this), sleep = sleep_,
                    release = release_](std::uint64_t, std::stop_token stop) -> QCoro::Task<void> {
        // Playback counts every frame as work: rather than a wait begun anew
        // at each, one wait runs on while work comes during it, and work that
        // comes during the release brings another.
        while (self) {
            const std::uint64_t seen = self->work_;
            co_await sleep(restTime, stop);
            if (!self || self->work_ != seen) {
                continue;
            }
            auto work = [release] { (*release)(); };
            co_await runInBackground(QThreadPool::globalInstance(), std::move(work));
            if (!self || self->work_ == seen) {
                co_return;
            }
        }
    });
}

} // namespace vexel
