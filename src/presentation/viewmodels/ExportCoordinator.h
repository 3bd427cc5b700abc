#pragma once

#include "domain/entities/ExportProgress.h"
#include "domain/protocols/ExportService.h"
#include "foundation/Logger.h"
#include "presentation/viewmodels/ExportSaveRequest.h"
#include "presentation/viewmodels/runtime/Observable.h"

#include <QCoro/QCoroTask>
#include <QObject>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QThreadPool;

namespace vexel {

// The hand-off between a running export and the window: the export's
// progress while the movie is rendered into the export folder, then a save
// request that makes the window ask where the file goes, then the move of the
// file to the chosen place. GUI thread only, except the progress handler that
// beginExport() returns.
class ExportCoordinator : public QObject {
    Q_OBJECT

public:
    // The folder a save dialog opens in by default.
    using DirectoryProvider = std::function<std::filesystem::path()>;

    // `mover` runs the file moves (on a worker thread, so that a copy across
    // file systems never stalls the window); none: the global thread pool.
    ExportCoordinator(DirectoryProvider exportDirectoryProvider, std::shared_ptr<Logger> logger,
                      QThreadPool* mover = nullptr, QObject* parent = nullptr);

    // None while no export runs.
    const std::optional<ExportProgress>& exportProgress() const { return exportProgress_.get(); }
    void setExportProgress(std::optional<ExportProgress> progress);

    // Set while a finished export waits for its destination.
    const std::optional<ExportSaveRequest>& exportSaveRequest() const {
        return exportSaveRequest_.get();
    }
    void setExportSaveRequest(std::optional<ExportSaveRequest> request);

    const DirectoryProvider& exportDirectoryProvider() const { return exportDirectoryProvider_; }

    // An export starts: shows (preparing, 0) and returns the handler to give
    // it. The handler may be called on any thread; each report is shown on the
    // GUI thread, unless this export has ended by then, so that a report that
    // arrives late never brings back the progress of a finished export.
    ExportProgressHandler beginExport();
    // The export ended, however it ended: no progress is shown any more.
    void endExport();
    // Asks where the rendered file goes: a save request for it, opening in the
    // folder exportDirectoryProvider gives now.
    void requestSave(const std::filesystem::path& renderedFile);

    // The user confirmed `destination` in the save dialog: the request is
    // cleared at once and the rendered file moved there, under the suffix of
    // its format (corrected or added: withExportSuffix), replacing a file of
    // that name; the dialog asks before a replacement of the corrected name.
    // Completes with the chat sentence that names the file as written, or
    // with nothing when no request was pending.
    QCoro::Task<std::optional<std::string>> completeExportSave(std::filesystem::path destination);

signals:
    void exportProgressChanged();
    void exportSaveRequestChanged();

private:
    Observable<std::optional<ExportProgress>> exportProgress_;
    Observable<std::optional<ExportSaveRequest>> exportSaveRequest_;
    DirectoryProvider exportDirectoryProvider_;
    std::shared_ptr<Logger> logger_;
    QThreadPool* mover_;
    // Raised at every start and end of an export; a progress report counts only
    // while it is the one its export began with.
    std::uint64_t exportGeneration_ = 0;
};

} // namespace vexel
