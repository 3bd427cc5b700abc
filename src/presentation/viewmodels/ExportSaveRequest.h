#pragma once

#include <filesystem>
#include <string>

namespace vexel {

// A finished export waiting for the user to pick where it goes.
struct ExportSaveRequest {
    // The rendered file in the export folder.
    std::filesystem::path sourceURL;
    // The name the save dialog proposes: the rendered file's own.
    std::string suggestedName;
    // The folder the save dialog opens in.
    std::filesystem::path defaultDirectory;

    friend bool operator==(const ExportSaveRequest&, const ExportSaveRequest&) = default;
};

} // namespace vexel
