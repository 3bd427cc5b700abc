#pragma once

#include "domain/entities/TrackType.h"
#include "domain/protocols/MediaLoader.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <string>

// What the two roads into the timeline, the file panel and the drop, share:
// which kind of track a file belongs on, and how a refused file is reported.
namespace vexel::mediaimport {

// The kind the file's extension names in the project's table; none for any
// other extension.
std::optional<TrackType> trackTypeByName(const std::filesystem::path& file);

// The track a file belongs on: the one its extension names, else the one
// its content calls for, as the loader finds it. Either a type or the
// loader's failure. Blocking (the content is read): never on the GUI thread.
struct Kind {
    std::optional<TrackType> type;
    std::exception_ptr failure;
};
Kind kindOf(const std::filesystem::path& file, const MediaLoader& loader);

// Why a file that the stager could not copy was not copied: gone, not
// readable, or the copy itself failed. Blocking, like the copy.
std::string whyNotStaged(const std::filesystem::path& file);

// "Failed to add <name>", then ": " and why where the failure tells (the file
// is damaged or unreadable, it is not a media file, it holds no picture or
// sound, …).
std::string failedToAdd(const std::string& name, const std::exception_ptr& failure);
std::string failedToAdd(const std::string& name, const std::string& reason);

} // namespace vexel::mediaimport
