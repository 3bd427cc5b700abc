#include "presentation/viewmodels/PreviewRebuilder.h"

#include <utility>

namespace vexel {

PreviewRebuilder::PreviewRebuilder(TimelineViewModel& timeline, PreviewViewModel& preview,
                                   std::shared_ptr<Logger> logger, SleepAction sleep,
                                   QObject* parent)
    : QObject(parent)
    , timeline_(&timeline)
    , preview_(&preview)
    , sleep_(std::move(sleep))
    , rebuild_(std::move(logger)) {
    connect(&timeline, &TimelineViewModel::projectChanged, this, &PreviewRebuilder::projectChanged);
}

void PreviewRebuilder::cancel() {
    rebuild_.cancel();
}

void PreviewRebuilder::projectChanged() {
    if (!timeline_ || !preview_) {
        return;
    }
    if (preview_->suppressReload()) {
        // The overlay has drawn this change already; a rebuild pending from
        // an earlier change still runs.
        preview_->setSuppressReload(false);
        return;
    }
    rebuild_.start([self = QPointer(this), preview = preview_, sleep = sleep_,
                    project = timeline_->project(), document = timeline_->documentEpoch()](
                       std::uint64_t generation, std::stop_token stop) -> QCoro::Task<void> {
        // A cancelled wait throws and ends the task without a load.
        co_await sleep(debounce, stop);
        if (!self || stop.stop_requested() || !self->rebuild_.isCurrent(generation)) {
            co_return;
        }
        self->rebuild_.clear(generation);
        if (preview) {
            // The load keeps the time the player stands at: a project opened
            // in place of another starts at its beginning.
            if (self->loadedDocument_ != document) {
                preview->seek(0);
            }
            self->loadedDocument_ = document;
            preview->loadProject(project);
        }
    });
}

} // namespace vexel
