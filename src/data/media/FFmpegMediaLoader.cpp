#include "data/media/FFmpegMediaLoader.h"

#include "data/media/FFmpegMediaLoaderError.h"
#include "foundation/UnicodeText.h"
#include "foundation/UriScheme.h"
#include "platform/media/Asset.h"

#include <cmath>
#include <system_error>

namespace vexel {

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

    if (kind == TrackType::image) {
        // Anything but a regular file counts as missing: a pipe would block
        // whoever reads the image, a device would never end.
        std::error_code error;
        if (!std::filesystem::is_regular_file(url, error)) {
            throw FFmpegMediaLoaderError::fileNotFound(url);
        }
        return MediaAsset{url, name, stillImageDuration, kind};
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
