#pragma once

#include "domain/protocols/MediaLoader.h"

namespace vexel {

// Probes media files with FFmpeg. The kind comes from the file extension, and
// from what the file holds where the extension says nothing (a picture
// stream: video; sound only: audio; a still picture: image). Still images
// named as such are not opened; every still lasts 5 s.
class FFmpegMediaLoader final : public MediaLoader {
public:
    static constexpr double stillImageDuration = 5.0;

    // Throws FFmpegMediaLoaderError: fileNotFound for an empty path, an
    // address with a scheme ("https://…", "file:///…") instead of a path, or a
    // missing image; cannotLoadDuration for a video or audio file that is
    // missing, unreadable or without a positive, finite length. Anything but a
    // regular file (links followed), such as a pipe or a device, is never
    // opened: it fails the same way, with specialFile() saying what it is.
    // A file refused for its content says why in reason(): missing, empty,
    // not media, damaged, without picture or sound.
    MediaAsset loadAsset(const std::filesystem::path& url) const override;
};

} // namespace vexel
