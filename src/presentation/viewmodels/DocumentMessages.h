#pragma once

#include "domain/entities/UnavailableMedia.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The banner's texts for what opening and saving a project folder ran into,
// and for media files that went missing from under the open project.
namespace vexel::documentmessages {

// A banner message and what its detail adds.
struct FailureText {
    std::string message;
    std::optional<std::string> detail;
};

// "Failed to open project “<folder name>”: <reason>", the reason in the words
// of the failure (a missing "project.json", a file of another format or
// version, the size of a project larger than is opened, …).
std::string openFailed(const std::filesystem::path& folder, const std::exception_ptr& error);

// Names the clips whose media cannot be used: "Cannot use the media of
// “a.mov”", or of "3 clips: “a.mov”, “b.mov”, “c.mov”" (the first few names,
// then how many more). Each name once, however many clips share it.
std::string unavailableMedia(const std::vector<UnavailableMedia>& clips);
// One line per clip name and reason ("“a.mov”: the file is missing"), the
// first ten, then how many more.
std::string unavailableMediaDetail(const std::vector<UnavailableMedia>& clips);

// Clips whose media the editor found it can no longer read, once they were
// in use: "The media of “a.mov” is missing" (or "cannot be read", "is not a
// regular file"), or of "2 clips is missing: “a.mov”, “b.mov”"; where the
// clips' reasons differ, the detail gives each one.
FailureText mediaLost(const std::vector<UnavailableMedia>& clips);
// "Export failed: the media of “a.mov” is missing", the clips and the reason
// in mediaLost's words.
std::string exportFailedOnMedia(const std::vector<UnavailableMedia>& clips);

// "Failed to save project “<folder name>”: <reason>": the clips whose media
// cannot be copied and why (several: one line each in the detail), the size of
// a project too large to write, a link or file where a folder was expected,
// or what the system said (a full disk, no permission).
FailureText saveFailed(const std::filesystem::path& folder, const std::exception_ptr& error);
// The same reason as a sentence, for the detail of the auto-save's notice;
// none when there is nothing to say beyond the notice.
std::optional<std::string> autoSaveFailureDetail(const std::exception_ptr& error);

} // namespace vexel::documentmessages
