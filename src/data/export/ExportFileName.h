#pragma once

#include "domain/entities/ExportFormat.h"

#include <chrono>
#include <filesystem>
#include <string>

namespace vexel {

// "VexelExport_" + the UTC time in whole seconds as "2026-12-09T03-16-32Z"
// (ISO 8601 with "-" for ":") + "." + the format's extension.
std::string exportFileName(std::chrono::system_clock::time_point now, ExportFormat format);

// Creates an empty file named `fileName` in `folder` that no one else has,
// so that a file already there (an earlier export of the same second still
// waiting to be saved, or one being written beside this one) is never
// replaced: the first free name of "name.ext", "name-1.ext", "name-2.ext", …
// is taken, atomically. Throws std::filesystem::filesystem_error.
std::filesystem::path reserveUniqueFile(const std::filesystem::path& folder,
                                        const std::string& fileName);

} // namespace vexel
