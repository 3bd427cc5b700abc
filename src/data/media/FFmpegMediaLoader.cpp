#include "data/media/FFmpegMediaLoader.h"

#include "data/media/FFmpegMediaLoaderError.h"
#include "foundation/UnicodeText.h"
#include "foundation/UriScheme.h"
#include "platform/media/Asset.h"
#include "platform/media/ContentProbe.h"

#include <cmath>
#include <optional>
#include <system_error>
#include <variant>

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

using Reason = FFmpegMediaLoaderError::Reason;

Reason reasonFor(media::ContentProbe::Problem problem) {
    switch (problem) {
    case media::ContentProbe::Problem::missing:
        return Reason::missing;
    case media::ContentProbe::Problem::unreadable:
        return Reason::unreadable;
    case media::ContentProbe::Problem::empty:
        return Reason::empty;
    case media::ContentProbe::Problem::notMedia:
        return Reason::notMedia;
    case media::ContentProbe::Problem::damaged:
        return Reason::damaged;
    case media::ContentProbe::Problem::noPictureOrSound:
        return Reason::noPictureOrSound;
    }
    return Reason::damaged;
}

TrackType trackTypeFor(media::ContentProbe::Kind kind) {
    switch (kind) {
    case media::ContentProbe::Kind::movie:
        return TrackType::video;
    case media::ContentProbe::Kind::sound:
        return TrackType::audio;
    case media::ContentProbe::Kind::still:
        return TrackType::image;
    }
    return TrackType::video;
}

// Why a file whose length could not be read cannot be used: what its content
// shows, or damage when the content looked sound to a first look.
FFmpegMediaLoaderError unusable(const std::filesystem::path& url) {
    const media::ContentProbe::Verdict verdict = media::ContentProbe::examine(url);
    if (const auto* problem = std::get_if<media::ContentProbe::Problem>(&verdict)) {
        return FFmpegMediaLoaderError::cannotLoadDuration(url, reasonFor(*problem));
    }
    return FFmpegMediaLoaderError::cannotLoadDuration(url, Reason::damaged);
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
    const std::optional<TrackType> named = inferTrackType(extension);

    // Anything but a regular file is refused unopened, saying what it is: a
    // pipe would block whoever reads it, a device would never end.
    const std::optional<SpecialFile> special = specialFileAt(url);
    if (named == TrackType::image) {
        std::error_code error;
        if (special || !std::filesystem::is_regular_file(url, error)) {
            throw FFmpegMediaLoaderError::fileNotFound(url, special);
        }
        return MediaAsset{url, name, stillImageDuration, TrackType::image};
    }
    if (special) {
        throw FFmpegMediaLoaderError::cannotLoadDuration(url, special);
    }

    // A name the table does not know (.webm, .flac, .ts, .webp, …) says
    // nothing of what the file holds: its content does.
    TrackType kind = TrackType::video;
    if (named) {
        kind = *named;
    } else {
        const media::ContentProbe::Verdict verdict = media::ContentProbe::examine(url);
        if (const auto* problem = std::get_if<media::ContentProbe::Problem>(&verdict)) {
            throw FFmpegMediaLoaderError::cannotLoadDuration(url, reasonFor(*problem));
        }
        kind = trackTypeFor(std::get<media::ContentProbe::Kind>(verdict));
        if (kind == TrackType::image) {
            return MediaAsset{url, name, stillImageDuration, kind};
        }
    }

    double seconds = 0;
    try {
        seconds = media::Asset::load(url).duration.seconds();
    } catch (const std::exception&) {
        // FFmpeg's own words are not for the user; what the content shows is.
        throw unusable(url);
    }
    if (!(seconds > 0 && std::isfinite(seconds))) {
        throw unusable(url);
    }
    return MediaAsset{url, name, seconds, kind};
}

} // namespace vexel
