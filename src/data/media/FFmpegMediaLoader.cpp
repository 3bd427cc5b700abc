#include "data/media/FFmpegMediaLoader.h"

#include "data/media/FFmpegMediaLoaderError.h"
#include "foundation/UnicodeText.h"
#include "foundation/UriScheme.h"
#include "platform/media/Asset.h"

#include <cmath>
#include <optional>
#include <system_error>

namespace vexel {

namespace {

using SpecialFile = FFmpegMediaLoaderError::SpecialFile;

// What is at the path when it is there but no regular file (links followed).
std::optional<SpecialFile> specialFileAt(const std::filesystem::path& url) {
    std::error_code error;
    switch (std::filesystem::status(url, error).type()) {
    case std::filesystem::file_type::directory:
        return SpecialFile::folder;
    case std::filesystem::file_type::fifo:
        return SpecialFile::namedPipe;
    case std::filesystem::file_type::socket:
        return SpecialFile::socket;
    case std::filesystem::file_type::block:
    case std::filesystem::file_type::character:
        return SpecialFile::device;
    case std::filesystem::file_type::unknown:
        return SpecialFile::other;
    default:
        return std::nullopt;
    }
}

} // namespace

MediaAsset FFmpegMediaLoader::loadAsset(const std::filesystem::path& url) const {
    // Before anything else: FFmpeg would open a web address (or "data:",
    // "pipe:", …) as the protocol it names, and report it as media that has
    // no length rather than as no file at all.
    if (url.empty() || beginsWithUriScheme(url.native())) {
        throw FFmpegMediaLoaderError::fileNotFound(url);
    }
    // The name is shown and sent; the path keeps the file's real bytes.
    std::string name = unicode::replacingInvalidUtf8(url.filename().string());
    std::string extension = url.extension().string();
    if (!extension.empty()) {
        extension.erase(0, 1);
    }
    TrackType kind = inferTrackType(extension).value_or(TrackType::video);

    // Anything but a regular file is refused unopened, saying what it is: a
    // pipe would block whoever reads it, a device would never end.
    const std::optional<SpecialFile> special = specialFileAt(url);
    if (kind == TrackType::image) {
        std::error_code error;
        if (special || !std::filesystem::is_regular_file(url, error)) {
            throw FFmpegMediaLoaderError::fileNotFound(url, special);
        }
        return MediaAsset{url, name, stillImageDuration, kind};
    }
    if (special) {
        throw FFmpegMediaLoaderError::cannotLoadDuration(url, special);
    }

    double seconds = 0;
    try {
        seconds = media::Asset::load(url).duration.seconds();
    } catch (const std::exception&) {
        // The probe's own reason is not passed on: the caller only learns
        // that the length could not be read.
        throw FFmpegMediaLoaderError::cannotLoadDuration(url);
    }
    if (!(seconds > 0 && std::isfinite(seconds))) {
        throw FFmpegMediaLoaderError::cannotLoadDuration(url);
    }
    return MediaAsset{url, name, seconds, kind};
}

} // namespace vexel
