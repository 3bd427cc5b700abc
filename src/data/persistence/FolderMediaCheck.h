#pragma once

#include "domain/entities/UnavailableMedia.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace vexel {

// Looks on disk at the media of a project opened from a folder. A received
// folder may hold links to files elsewhere (or "assets" may be one), pipes
// that block whoever opens them, devices that never end: only a regular file
// whose real path, links followed, stays inside the folder is fit to be read
// as media or copied by a later save. Nothing is opened but regular files, and
// those without blocking. Each path is looked at once.
class FolderMediaCheck {
public:
    explicit FolderMediaCheck(const std::filesystem::path& folder);

    struct Finding {
        UnavailableMedia::Reason reason;
        // Whether the clip may keep naming the file: a missing, unreadable or
        // unfit file inside the folder may be mended later, while a path that
        // leads out of the folder, or through a link to nowhere, must never
        // be followed, even once something appears at its end.
        bool keepsMedia;
        friend bool operator==(const Finding&, const Finding&) = default;
    };

    // Nothing when the file is fit to be read as media.
    std::optional<Finding> check(const std::filesystem::path& file);

private:
    std::optional<Finding> look(const std::filesystem::path& file) const;
    std::optional<Finding> lookAtMissing(const std::filesystem::path& file, int error) const;
    // Whether a real path is the folder or lies inside it.
    bool inside(const std::string& realPath) const;

    // The folder's real path, "/" at the end; empty when it has none, and then
    // nothing counts as inside.
    std::string realPrefix_;
    std::map<std::filesystem::path, std::optional<Finding>> seen_;
};

} // namespace vexel
