#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/ExportFormat.h"
#include "domain/entities/TrackType.h"
#include "domain/protocols/ExportService.h"

#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace vexel {

struct Project;
struct ExportResult;

// The one road by which the open project changes. Every operation blocks, reads
// the repository's current project at its start and returns the new one.
class EditCommandExecutor {
public:
    virtual ~EditCommandExecutor() = default;

    // Runs one command through its handler; a failure leaves the project as it was.
    virtual Project execute(const EditCommand& command) = 0;

    // Runs the commands in order, all or nothing: either the repository holds the
    // result of the whole list, or it holds the project it had before, and the
    // first error is thrown.
    virtual Project executeBatch(const std::vector<EditCommand>& commands) = 0;

    // Adds a media file as a clip on the first track of the type (created when
    // missing), at `at` or after the track's last clip.
    virtual Project addClipFromURL(const std::filesystem::path& url, TrackType trackType,
                                   std::optional<double> at,
                                   std::optional<std::string> originalName) = 0;

    // Exports the current project; the project is not changed.
    virtual ExportResult exportProject(ExportFormat format, const ExportProgressHandler& onProgress,
                                       std::stop_token stopToken) = 0;
};

} // namespace vexel
