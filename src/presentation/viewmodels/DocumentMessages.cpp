#include "presentation/viewmodels/DocumentMessages.h"

#include "domain/entities/PersistenceError.h"
#include "foundation/UnicodeText.h"
#include "presentation/helpers/FileNameText.h"

#include <algorithm>
#include <set>
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

std::string reasonOf(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const PersistenceError& failure) {
        switch (failure.kind()) {
        case PersistenceError::Kind::fileNotFound:
            return quoted(failure.detail()) + " is missing or cannot be read";
        case PersistenceError::Kind::decodingFailed:
            return failure.detail();
        default:
            return failure.what();
        }
    } catch (const std::exception& failure) {
        return failure.what();
    } catch (...) {
        return "unknown error";
    }
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

} // namespace

std::string openFailed(const std::filesystem::path& folder, const std::exception_ptr& error) {
    return "Failed to open project " + quoted(folderName(folder)) + ": " + reasonOf(error);
}

std::string unavailableMedia(const std::vector<UnavailableMedia>& clips) {
    const std::vector<std::string> names =
        firstOfEach<std::string>(clips, [](const UnavailableMedia& clip) { return clip.clipName; });
    if (names.empty()) {
        return {};
    }
    std::string message = "Cannot use the media of ";
    if (clips.size() == 1) {
        return message + quoted(names.front());
    }
    message += std::to_string(clips.size()) + " clips: ";
    const std::size_t shown = std::min(names.size(), namesInMessage);
    for (std::size_t i = 0; i < shown; ++i) {
        message += (i == 0 ? "" : ", ") + quoted(names[i]);
    }
    if (names.size() > shown) {
        message += " and " + std::to_string(names.size() - shown) + " more";
    }
    return message;
}

std::string unavailableMediaDetail(const std::vector<UnavailableMedia>& clips) {
    using Line = std::pair<std::string, UnavailableMedia::Reason>;
    const std::vector<Line> lines = firstOfEach<Line>(clips, [](const UnavailableMedia& clip) {
        return Line{clip.clipName, clip.reason};
    });
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

} // namespace vexel::documentmessages
