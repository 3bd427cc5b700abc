#pragma once

#include "foundation/Logger.h"
#include "presentation/viewmodels/PreviewViewModel.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/viewmodels/runtime/Sleep.h"
#include "presentation/viewmodels/runtime/TaskSlot.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace vexel {

// Keeps the preview showing the timeline's project: a pause of 0.2 s after
// the last change loads the project as it was at that change, so a burst of
// edits (a drag, repeated commands) builds the composition once. A change
// that the preview has drawn already (it set suppressReload) is skipped once.
// An edit leaves the playhead where it is; another document starts at 0.
// GUI thread only.
class PreviewRebuilder : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::duration<double> debounce{0.2};

    // Both view models must outlive the rebuilder's connections; a rebuild
    // due after the preview is gone does nothing.
    PreviewRebuilder(TimelineViewModel& timeline, PreviewViewModel& preview,
                     std::shared_ptr<Logger> logger, SleepAction sleep = sleepOnEventLoop,
                     QObject* parent = nullptr);

    // The rebuild waiting for its pause to end; none once it has loaded or
    // was cancelled.
    const std::optional<TaskHandle>& pendingRebuild() const { return rebuild_.task(); }

    // Drops the pending rebuild, for a window that closes.
    void cancel();

private:
    void projectChanged();

    QPointer<TimelineViewModel> timeline_;
    QPointer<PreviewViewModel> preview_;
    SleepAction sleep_;
    TaskSlot rebuild_;
    // The document the preview was last loaded with.
    std::optional<std::uint64_t> loadedDocument_;
};

} // namespace vexel
