#pragma once

#include "domain/entities/UnavailableMedia.h"

#include <exception>
#include <filesystem>
#include <string>
#include <vector>

// The banner's texts for what opening a project folder ran into.
namespace vexel::documentmessages {

// "Failed to open project “<folder name>”: <reason>", the reason in the words
// of the failure (a missing "project.json", a file of another format or
// version, …).
std::string openFailed(const std::filesystem::path& folder, const std::exception_ptr& error);

// Names the clips whose media cannot be used: "Cannot use the media of
// “a.mov”", or of "3 clips: “a.mov”, “b.mov”, “c.mov”" (the first few names,
// then how many more). Each name once, however many clips share it.
std::string unavailableMedia(const std::vector<UnavailableMedia>& clips);
// One line per clip name and reason ("“a.mov”: the file is missing"), the
// first ten, then how many more.
std::string unavailableMediaDetail(const std::vector<UnavailableMedia>& clips);

} // namespace vexel::documentmessages
