#pragma once

#include "foundation/Logger.h"
#include "presentation/viewmodels/EditorGraph.h"
#include "presentation/viewmodels/runtime/Sleep.h"
#include "presentation/viewmodels/runtime/TaskSlot.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace vexel {

// Hands the heap's free memory back to the system once the editor has rested
// a while after heavy work: an edit and the preview rebuilt after it, a seek,
// playback, an export. Such work frees hundreds of megabytes of frames,
// projects and encoded text in the middle of the heap, which the allocator
// would otherwise keep for the rest of the session. GUI thread only; the
// release itself runs on a worker.
class HeapTrimmer : public QObject {
    Q_OBJECT

public:
    // How long the editor rests after its last work before the release: the
    // release comes between one and two of these after it.
    static constexpr std::chrono::duration<double> restTime{2.0};

    // `release` hands the free heap back (memory::releaseFreeHeap).
    HeapTrimmer(std::function<void()> release, std::shared_ptr<Logger> logger,
                SleepAction sleep = sleepOnEventLoop, QObject* parent = nullptr);

    // Counts the graph's edits, preview frames and export progress as work.
    void watch(const EditorGraph& graph);

    // Work was done just now.
    void workDone();

    // The wait for rest and the release after it; none before the first work.
    const std::optional<TaskHandle>& pendingRelease() const { return waiting_.task(); }

private:
    std::shared_ptr<const std::function<void()>> release_;
    SleepAction sleep_;
    TaskSlot waiting_;
    std::uint64_t work_ = 0;
};

} // namespace vexel
