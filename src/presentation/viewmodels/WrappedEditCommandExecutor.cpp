#include "presentation/viewmodels/WrappedEditCommandExecutor.h"

#include "presentation/viewmodels/runtime/BackgroundWork.h"

#include <QThreadPool>

#include <utility>

namespace vexel {

WrappedEditCommandExecutor::WrappedEditCommandExecutor(
    std::shared_ptr<EditCommandExecutor> wrapped) {
    // One thread, first come first served: edits reach the engine in the order
    // they were asked for.
    auto editWorker = std::make_shared<QThreadPool>();
    editWorker->setMaxThreadCount(1);

    execute_ = [wrapped, editWorker](EditCommand command) {
        return runInBackground(editWorker.get(), [wrapped, command = std::move(command)] {
            return wrapped->execute(command);
        });
    };
    executeBatch_ = [wrapped, editWorker](std::vector<EditCommand> commands) {
        return runInBackground(editWorker.get(), [wrapped, commands = std::move(commands)] {
            return wrapped->executeBatch(commands);
        });
    };
    addClipFromURL_ = [wrapped, editWorker](std::filesystem::path url, TrackType trackType,
                                            std::optional<double> at,
                                            std::optional<std::string> originalName) {
        return runInBackground(editWorker.get(), [wrapped, url = std::move(url), trackType, at,
                                                  originalName = std::move(originalName)] {
            return wrapped->addClipFromURL(url, trackType, at, originalName);
        });
    };
    exportProject_ = [wrapped](ExportFormat format, ExportProgressHandler onProgress,
                               std::stop_token stop) {
        return runInBackground(
            QThreadPool::globalInstance(),
            [wrapped, format, onProgress = std::move(onProgress), stop = std::move(stop)] {
                return wrapped->exportProject(format, onProgress, stop);
            });
    };
}

} // namespace vexel
