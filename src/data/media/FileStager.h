#pragma once

#include "domain/protocols/FileStaging.h"

#include <string>
#include <string_view>

namespace vexel {

// Stages imported files in the private staging folder (StagingFolder.h) as
// "<new UUID>_<cleaned name>".
class FileStager final : public FileStaging {
public:
    // Folder errors are std::filesystem::filesystem_error; a failed copy is
    // FileStagerError::copyFailed with the cleaned name (the partial copy is
    // removed).
    std::filesystem::path stage(const std::filesystem::path& source,
                                const std::optional<std::string>& suggestedName) const override;

    // Removal errors are std::filesystem::filesystem_error.
    void cleanStagingDirectory() const override;

    // The name a staged copy gets after its UUID: the last path component
    // without NUL characters ("untitled" when nothing usable is left), cut to
    // 218 characters and to 218 UTF-8 bytes at a character boundary, keeping
    // its extension where it fits, so that the staged name stays within the
    // 255 bytes a Linux file name may have.
    static std::string sanitizeFilename(std::string_view name);
};

} // namespace vexel
