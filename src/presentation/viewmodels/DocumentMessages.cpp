#include "presentation/viewmodels/DocumentMessages.h"

#include "domain/entities/PersistenceError.h"
#include "foundation/UnicodeText.h"
#include "presentation/helpers/FileNameText.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <set>
#include <system_error>
#include <utility>

namespace vexel::documentmessages {

namespace {

constexpr std::size_t namesInMessage = 3;
constexpr std::size_t linesInDetail = 10;

std::string quoted(const std::string& text) {
    return "\u201C" + text + "\u201D";
}

// The name the user gave the folder, as text whatever its bytes.
std::string folderName(const std::filesystem::path& folder) {
    std::filesystem::path normal = folder.lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path()) {
        normal = normal.parent_path();
    }
    const std::string name = displayFileName(normal);
    return name.empty() ? unicode::replacingInvalidUtf8(folder.string()) : name;
}

const char* reasonText(UnavailableMedia::Reason reason) {
    switch (reason) {
    case UnavailableMedia::Reason::missing:
        return "the file is missing";
    case UnavailableMedia::Reason::notRegularFile:
        return "not a regular file";
    case UnavailableMedia::Reason::unreadable:
        return "the file cannot be read";
    case UnavailableMedia::Reason::outsideFolder:
        return "the file lies outside the project folder";
    }
    return "";
}

// Each item once, in the order first met.
template <class Key, class KeyOf>
std::vector<Key> firstOfEach(const std::vector<UnavailableMedia>& clips, KeyOf keyOf) {
    std::vector<Key> keys;
    std::set<Key> seen;
    for (const UnavailableMedia& clip : clips) {
        Key key = keyOf(clip);
        if (seen.insert(key).second) {
            keys.push_back(std::move(key));
        }
    }
    return keys;
}

std::vector<std::string> clipNames(const std::vector<UnavailableMedia>& clips) {
    return firstOfEach<std::string>(clips,
                                    [](const UnavailableMedia& clip) { return clip.clipName; });
}

// "“a.mov”, “b.mov”, “c.mov”": the first few names, then how many more.
std::string namesList(const std::vector<std::string>& names) {
    std::string list;
    const std::size_t shown = std::min(names.size(), namesInMessage);
    for (std::size_t i = 0; i < shown; ++i) {
        list += (i == 0 ? "" : ", ") + quoted(names[i]);
    }
    if (names.size() > shown) {
        list += " and " + std::to_string(names.size() - shown) + " more";
    }
    return list;
}

// "“a.mov”", or "3 clips: “a.mov”, “b.mov”, “c.mov”" (the first few names,
// then how many more) for `clips` clips of these names; empty for no clip.
std::string clipList(const std::vector<std::string>& names, std::size_t clips) {
    if (names.empty()) {
        return {};
    }
    if (clips == 1) {
        return quoted(names.front());
    }
    return std::to_string(clips) + " clips: " + namesList(names);
}

std::string clipList(const std::vector<UnavailableMedia>& clips) {
    return clipList(clipNames(clips), clips.size());
}

// The clips of these names, each name once.
std::string clipList(const std::vector<std::string>& clipNames) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const std::string& name : clipNames) {
        if (seen.insert(name).second) {
            names.push_back(name);
        }
    }
    return clipList(names, clipNames.size());
}

// What is wrong with a clip's media, as the end of "The media of “a.mov” …".
const char* predicateOf(UnavailableMedia::Reason reason) {
    switch (reason) {
    case UnavailableMedia::Reason::missing:
        return "is missing";
    case UnavailableMedia::Reason::notRegularFile:
        return "is not a regular file";
    case UnavailableMedia::Reason::unreadable:
        return "cannot be read";
    case UnavailableMedia::Reason::outsideFolder:
        return "lies outside the project folder";
    }
    return "cannot be used";
}

using ClipLine = std::pair<std::string, UnavailableMedia::Reason>;

// Each clip name with its reason once.
std::vector<ClipLine> clipLines(const std::vector<UnavailableMedia>& clips) {
    return firstOfEach<ClipLine>(clips, [](const UnavailableMedia& clip) {
        return ClipLine{clip.clipName, clip.reason};
    });
}

bool haveOneReason(const std::vector<UnavailableMedia>& clips) {
    return std::all_of(clips.begin(), clips.end(), [&](const UnavailableMedia& clip) {
        return clip.reason == clips.front().reason;
    });
}

// "media of “a.mov” is missing", or "media of 2 clips cannot be read: “a.mov”,
// “b.mov”" (the reason they share, else one that covers them all); empty for
// no clip.
std::string lostMedia(const std::vector<UnavailableMedia>& clips) {
    const std::vector<std::string> names = clipNames(clips);
    if (names.empty()) {
        return {};
    }
    const std::string predicate =
        haveOneReason(clips) ? predicateOf(clips.front().reason) : "cannot be read";
    if (clips.size() == 1) {
        return "media of " + quoted(names.front()) + " " + predicate;
    }
    return "media of " + std::to_string(clips.size()) + " clips " + predicate + ": " +
           namesList(names);
}

// "cannot copy the media of “a.mov”: the file is missing", or of several
// clips, whose reasons the detail gives.
std::string mediaReason(const std::vector<UnavailableMedia>& clips) {
    std::string reason = "cannot copy the media of " + clipList(clips);
    if (const std::vector<ClipLine> lines = clipLines(clips); lines.size() == 1) {
        reason += std::string(": ") + reasonText(lines.front().second);
    }
    return reason;
}

// What the system's error means to someone saving a project.
std::string causeText(const std::error_code& cause) {
    if (cause == std::errc::no_space_on_device) {
        return "the disk is full";
    }
    if (cause.value() == EDQUOT && (cause.category() == std::generic_category() ||
                                    cause.category() == std::system_category())) {
        return "the disk quota is used up";
    }
    if (cause == std::errc::permission_denied || cause == std::errc::operation_not_permitted) {
        return "permission denied";
    }
    if (cause == std::errc::read_only_file_system) {
        return "the disk is read-only";
    }
    // A file over what the disk's format holds (4 GiB on FAT), or over the
    // process's own file size limit.
    if (cause == std::errc::file_too_large) {
        return "the file is too large for that disk";
    }
    if (cause == std::errc::too_many_symbolic_link_levels) {
        return "it is a link";
    }
    if (cause == std::errc::not_a_directory) {
        return "a file stands where a folder is needed";
    }
    if (cause == std::errc::is_a_directory) {
        return "a folder stands in its place";
    }
    std::string text = cause.message();
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' &&
        (text.size() == 1 || !(text[1] >= 'A' && text[1] <= 'Z'))) {
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    }
    return text;
}

// Mebibytes with one decimal, rounded up so that a size over a limit never
// reads as the limit: "64", "70.2".
std::string mebibytes(std::uintmax_t bytes) {
    constexpr std::uintmax_t mebibyte = std::uintmax_t{1} << 20;
    const std::uintmax_t tenths =
        (bytes / mebibyte) * 10 + ((bytes % mebibyte) * 10 + mebibyte - 1) / mebibyte;
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        text += "." + std::to_string(tenths % 10);
    }
    return text;
}

// The same, always with its tenth: "66.0".
std::string mebibytesWithTenth(std::uintmax_t bytes) {
    std::string text = mebibytes(bytes);
    return text.find('.') == std::string::npos ? text + ".0" : text;
}

std::string reasonOf(const PersistenceError& failure) {
    const std::string cause = failure.cause() ? causeText(failure.cause()) : std::string();
    switch (failure.kind()) {
    case PersistenceError::Kind::fileNotFound:
        if (failure.cause() == std::errc::too_many_symbolic_link_levels) {
            return quoted(failure.detail()) + " is a link, not a file of the folder";
        }
        return quoted(failure.detail()) + " is missing or cannot be read";
    case PersistenceError::Kind::decodingFailed:
        // A project too large to open is whole, only larger than is read.
        if (const std::optional<PersistenceError::Size>& size = failure.size()) {
            return "its project file is " + mebibytesWithTenth(size->bytes) +
                   " MB; the largest project Vexel opens is " + mebibytes(size->limit) + " MB";
        }
        return failure.detail();
    case PersistenceError::Kind::assetCopyFailed:
        if (!failure.unavailableMedia().empty()) {
            return mediaReason(failure.unavailableMedia());
        }
        if (const std::vector<std::string>& clips = failure.clipNames(); !clips.empty()) {
            // The clips as the timeline names them: the file itself may be
            // a staged copy, whose name the user has never seen.
            return "cannot copy " + std::string(clips.size() == 1 ? "" : "the media of ") +
                   clipList(clips) + (cause.empty() ? "" : ": " + cause);
        }
        return (failure.detail() == "project.json" ? "cannot write " : "cannot copy ") +
               quoted(failure.detail()) + (cause.empty() ? "" : ": " + cause);
    case PersistenceError::Kind::encodingFailed:
        if (const std::optional<PersistenceError::Size>& size = failure.size()) {
            return "the project is too large to save (" + mebibytes(size->bytes) +
                   " MiB; at most " + mebibytes(size->limit) + " MiB can be saved)";
        }
        return "the project holds a value that cannot be written to a project file";
    case PersistenceError::Kind::directoryCreationFailed: {
        if (failure.folder().empty()) {
            return "cannot create the folder" + (cause.empty() ? "" : ": " + cause);
        }
        const std::string folder = quoted(failure.folder());
        if (failure.cause() == std::errc::too_many_symbolic_link_levels) {
            return folder + " is a link, not a folder";
        }
        if (failure.cause() == std::errc::not_a_directory) {
            return folder + " is not a folder";
        }
        return "cannot create " + folder + (cause.empty() ? "" : ": " + cause);
    }
    }
    return failure.what();
}

std::string reasonOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const PersistenceError& failure) {
        return reasonOf(failure);
    } catch (const std::system_error& failure) {
        return causeText(failure.code());
    } catch (const std::exception& failure) {
        return failure.what();
    } catch (...) {
        return "unknown error";
    }
}

} // namespace

std::string openFailed(const std::filesystem::path& folder, const std::exception_ptr& error) {
    return "Failed to open project " + quoted(folderName(folder)) + ": " + reasonOf(error);
}

std::string unavailableMedia(const std::vector<UnavailableMedia>& clips) {
    const std::string list = clipList(clips);
    return list.empty() ? std::string() : "Cannot use the media of " + list;
}

std::string unavailableMediaDetail(const std::vector<UnavailableMedia>& clips) {
    const std::vector<ClipLine> lines = clipLines(clips);
    std::string detail;
    const std::size_t shown = std::min(lines.size(), linesInDetail);
    for (std::size_t i = 0; i < shown; ++i) {
        detail +=
            (i == 0 ? "" : "\n") + quoted(lines[i].first) + ": " + reasonText(lines[i].second);
    }
    if (lines.size() > shown) {
        detail += "\nand " + std::to_string(lines.size() - shown) + " more";
    }
    return detail;
}

FailureText mediaLost(const std::vector<UnavailableMedia>& clips) {
    FailureText text{lostMedia(clips), std::nullopt};
    if (!text.message.empty()) {
        text.message = "The " + text.message;
    }
    if (!haveOneReason(clips)) {
        text.detail = unavailableMediaDetail(clips);
    }
    return text;
}

std::string exportFailedOnMedia(const std::vector<UnavailableMedia>& clips) {
    return "Export failed: the " + lostMedia(clips);
}

FailureText saveFailed(const std::filesystem::path& folder, const std::exception_ptr& error) {
    FailureText text{"Failed to save project " + quoted(folderName(folder)) + ": " +
                         reasonOf(error),
                     std::nullopt};
    try {
        std::rethrow_exception(error);
    } catch (const PersistenceError& failure) {
        if (clipLines(failure.unavailableMedia()).size() > 1) {
            text.detail = unavailableMediaDetail(failure.unavailableMedia());
        }
    } catch (...) {
    }
    return text;
}

std::optional<std::string> autoSaveFailureDetail(const std::exception_ptr& error) {
    std::string reason = reasonOf(error);
    if (reason.empty()) {
        return std::nullopt;
    }
    if (reason[0] >= 'a' && reason[0] <= 'z') {
        reason[0] = static_cast<char>(reason[0] - 'a' + 'A');
    }
    return reason + ".";
}

} // namespace vexel::documentmessages
