#pragma once

#include "domain/entities/ExportFormat.h"
#include "domain/entities/ExportProgress.h"

#include <filesystem>
#include <functional>
#include <stop_token>

namespace vexel {

struct Project;

// Receives progress reports of an export; may be called from any thread.
using ExportProgressHandler = std::function<void(const ExportProgress&)>;

// Renders a project into a movie file.
class ExportService {
public:
    virtual ~ExportService() = default;

    // Blocks until the file is written and returns where it is; the caller owns
    // the file from then on. A stop request ends the export with CancellationError.
    virtual std::filesystem::path exportProject(const Project& project, ExportFormat format,
                                                const ExportProgressHandler& onProgress,
                                                std::stop_token stopToken) = 0;
};

} // namespace vexel
