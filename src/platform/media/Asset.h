#pragma once

#include "platform/media/AssetTrack.h"
#include "platform/media/MediaTime.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace vexel::media {

// What probing a media file found: its length and tracks. A plain value; the
// file is not kept open (readers open it again).
struct Asset {
    std::filesystem::path path;
    // The file's timestamp at which the asset's timeline begins: every time of
    // the asset and its tracks counts from it. Zero for QuickTime and MPEG-4
    // files, whose edit lists place each track on the movie's timeline; the
    // first timestamp for others, since a transport stream starts wherever
    // the camera's clock stood and an MP3's first one is its encoder's delay.
    MediaTime timelineStart;
    // The end of the longest audio or video track; zero when unknown.
    MediaTime duration;
    std::vector<AssetTrack> tracks;

    // Opens and probes the file. Throws MediaError (cannotOpen) when it cannot
    // be opened or holds nothing FFmpeg recognises.
    static Asset load(const std::filesystem::path& path);

    std::vector<AssetTrack> tracksWithMediaType(MediaType type) const;
    std::optional<AssetTrack> firstTrack(MediaType type) const;

    friend bool operator==(const Asset&, const Asset&) = default;
};

} // namespace vexel::media
