#pragma once

#include "domain/entities/Project.h"
#include "domain/entities/UnavailableMedia.h"
#include "foundation/Uuid.h"

#include <filesystem>
#include <optional>
#include <stop_token>
#include <vector>

namespace vexel {

// Whether the media files of a project's clips can still be read, as they
// stand on disk now: a file deleted, its disk unmounted, or its permissions
// changed since it was imported leaves the clip in the project with nothing
// to play. Only clips that name a file count (text clips and clips whose
// media was refused at open name none). Nothing is opened but regular files,
// and those without blocking; each file is looked at once.
struct MediaReadability {
    // The clips whose files can be read.
    std::vector<Uuid> readable;
    // The clips whose files cannot, with why, in track and clip order.
    std::vector<UnavailableMedia> unreadable;

    // Blocking (it looks at the disk); stops early, with what it has, once
    // `stop` is requested.
    static MediaReadability of(const Project& project, std::stop_token stop = {});
    // Why the file cannot be read as media; nothing when it can.
    static std::optional<UnavailableMedia::Reason> check(const std::filesystem::path& file);
};

} // namespace vexel
