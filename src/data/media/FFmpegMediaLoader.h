#pragma once

#include "domain/protocols/MediaLoader.h"

namespace vexel {

// Probes media files with FFmpeg. The kind comes from the file extension
// (video when it says nothing); still images are not opened and last 5 s.
class FFmpegMediaLoader final : public MediaLoader {
public:
    static constexpr double stillImageDuration = 5.0;

    // Throws FFmpegMediaLoaderError: fileNotFound for an empty path, an
    // address with a scheme ("https://…", "file:///…") instead of a path, or a
    // missing image; cannotLoadDuration for a video or audio file that is
    // missing, unreadable or without a positive, finite length. Anything but a
    // regular file (links followed), such as a pipe or a device, is never
    // opened: it fails the same way, with specialFile() saying what it is.
    MediaAsset loadAsset(const std::filesystem::path& url) const override;
};

} // namespace vexel
