#include "presentation/viewmodels/ExportCoordinator.h"

#include "foundation/MoveFile.h"
#include "presentation/helpers/ExportFileName.h"
#include "presentation/helpers/FileNameText.h"
#include "presentation/viewmodels/runtime/BackgroundWork.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThreadPool>

#include <utility>

namespace vexel {

ExportCoordinator::ExportCoordinator(DirectoryProvider exportDirectoryProvider,
                                     std::shared_ptr<Logger> logger, QThreadPool* mover,
                                     QObject* parent)
    : QObject(parent)
    , exportProgress_(std::nullopt, [this] { emit exportProgressChanged(); })
    , exportSaveRequest_(std::nullopt, [this] { emit exportSaveRequestChanged(); })
    , exportDirectoryProvider_(std::move(exportDirectoryProvider))
    , logger_(std::move(logger))
    , mover_(mover ? mover : QThreadPool::globalInstance()) {}

void ExportCoordinator::setExportProgress(std::optional<ExportProgress> progress) {
    exportProgress_.set(progress);
}

void ExportCoordinator::setExportSaveRequest(std::optional<ExportSaveRequest> request) {
    exportSaveRequest_.set(std::move(request));
}

ExportProgressHandler ExportCoordinator::beginExport() {
    const std::uint64_t generation = ++exportGeneration_;
    setExportProgress(ExportProgress{ExportProgress::Phase::preparing, 0});
    // The report travels through the application object, which outlives every
    // view model, and finds this coordinator (or its absence) on the GUI thread.
    return [self = QPointer(this), generation](const ExportProgress& progress) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, generation, progress] {
                if (self && self->exportGeneration_ == generation) {
                    self->setExportProgress(progress);
                }
            },
            Qt::QueuedConnection);
    };
}

void ExportCoordinator::endExport() {
    ++exportGeneration_;
    setExportProgress(std::nullopt);
}

void ExportCoordinator::requestSave(const std::filesystem::path& renderedFile) {
    setExportSaveRequest(
        ExportSaveRequest{renderedFile, displayFileName(renderedFile), exportDirectoryProvider_()});
}

QCoro::Task<std::optional<std::string>>
ExportCoordinator::completeExportSave(std::filesystem::path destination) {
    std::optional<ExportSaveRequest> request = exportSaveRequest();
    if (!request) {
        co_return std::nullopt;
    }
    setExportSaveRequest(std::nullopt);
    // The panel takes any name; the file's suffix must still say what it
    // holds, or other programs misread an MP4 named .mov.
    std::string extension = request->sourceURL.extension().string();
    if (!extension.empty()) {
        destination = withExportSuffix(destination, extension.substr(1));
    }
    const std::shared_ptr<Logger> logger = logger_;
    auto move = [source = request->sourceURL, destination] {
        moveFileReplacing(source, destination);
    };
    try {
        co_await runInBackground(mover_, std::move(move));
    } catch (...) {
        logger->error("[Export] Failed to move file to chosen destination");
        co_return "Exported video to " + displayFileName(request->sourceURL) +
            " (could not move to selected location)";
    }
    co_return "Exported video to " + displayFileName(destination);
}

} // namespace vexel
