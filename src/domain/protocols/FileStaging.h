#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vexel {

// Copies imported files into the application's private staging folder, so
// that clips refer to copies the user cannot move away. Stateless and safe to
// call concurrently.
class FileStaging {
public:
    virtual ~FileStaging() = default;

    // Copies `source` under a new unique name made from `suggestedName` (the
    // source's own name when absent) and returns the copy's path.
    virtual std::filesystem::path stage(const std::filesystem::path& source,
                                        const std::optional<std::string>& suggestedName) const = 0;

    // Removes the staging folder and everything in it; nothing when absent.
    virtual void cleanStagingDirectory() const = 0;
};

} // namespace vexel
