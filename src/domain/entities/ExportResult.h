#pragma once

#include "domain/entities/Project.h"

#include <filesystem>

namespace vexel {

// What a finished export produced: the project as it was exported and the file.
struct ExportResult {
    Project project;
    std::filesystem::path outputURL;

    friend bool operator==(const ExportResult&, const ExportResult&) = default;
};

} // namespace vexel
