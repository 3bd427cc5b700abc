#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/ExportFormat.h"
#include "domain/entities/ExportResult.h"
#include "domain/entities/Project.h"
#include "domain/entities/TrackType.h"
#include "domain/protocols/EditCommandExecutor.h"
#include "domain/protocols/ExportService.h"

#include <QCoro/QCoroTask>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace vexel {

// The edit engine as the view models call it: every operation runs the blocking
// executor off the GUI thread and resumes its caller on the GUI thread with the
// new project, or with the engine's own error.
//
// The engine's load-change-save of the repository's project is not atomic, so
// the project-changing operations run one after another on one worker of their
// own; an export only reads the project and runs beside them, so that a long
// export never holds up an edit.
class WrappedEditCommandExecutor {
public:
    using Execute = std::function<QCoro::Task<Project>(EditCommand)>;
    using ExecuteBatch = std::function<QCoro::Task<Project>(std::vector<EditCommand>)>;
    using AddClipFromURL = std::function<QCoro::Task<Project>(
        std::filesystem::path, TrackType, std::optional<double>, std::optional<std::string>)>;
    using ExportProject = std::function<QCoro::Task<ExportResult>(
        ExportFormat, ExportProgressHandler, std::stop_token)>;

    explicit WrappedEditCommandExecutor(std::shared_ptr<EditCommandExecutor> wrapped);

    QCoro::Task<Project> execute(EditCommand command) const { return execute_(std::move(command)); }
    QCoro::Task<Project> executeBatch(std::vector<EditCommand> commands) const {
        return executeBatch_(std::move(commands));
    }
    QCoro::Task<Project> addClipFromURL(std::filesystem::path url, TrackType trackType,
                                        std::optional<double> at,
                                        std::optional<std::string> originalName) const {
        return addClipFromURL_(std::move(url), trackType, at, std::move(originalName));
    }
    // `onProgress` is called on the export's own threads.
    QCoro::Task<ExportResult> exportProject(ExportFormat format, ExportProgressHandler onProgress,
                                            std::stop_token stop) const {
        return exportProject_(format, std::move(onProgress), std::move(stop));
    }

private:
    Execute execute_;
    ExecuteBatch executeBatch_;
    AddClipFromURL addClipFromURL_;
    ExportProject exportProject_;
};

} // namespace vexel
