#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/ExportService.h"

#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace vexel::testing {

// Records what it was asked to export, reports one progress step and returns a
// fixed path, or throws the error it was given.
class FakeExportService : public ExportService {
public:
    std::filesystem::path exportProject(const Project& project, ExportFormat format,
                                        const ExportProgressHandler& onProgress,
                                        std::stop_token) override {
        exported.push_back(project);
        formats.push_back(format);
        if (duringExport) {
            duringExport();
        }
        if (failure) {
            std::rethrow_exception(failure);
        }
        if (onProgress) {
            onProgress(ExportProgress{ExportProgress::Phase::transferring, 0.5});
        }
        return outputURL;
    }

    std::filesystem::path outputURL = "/tmp/export/out.mp4";
    std::exception_ptr failure;
    // Runs while the export is under way (e.g. to edit the project meanwhile).
    std::function<void()> duringExport;
    std::vector<Project> exported;
    std::vector<ExportFormat> formats;
};

} // namespace vexel::testing
