#pragma once

// What the edit lists of an MPEG-4 or QuickTime file say about where each
// track's presentation ends. Internal to the media layer.
//
// FFmpeg reports a track's length as the sum of its decode-order sample
// durations; with B-frames and a variable frame rate that ends before the last
// displayed frame. The container's edit list holds the presentation length.

#include "platform/media/MediaTime.h"

#include <filesystem>
#include <map>

namespace vexel::media::detail {

// Track ID (as in the track header; FFmpeg's stream id) -> end of the track's
// presentation on the movie timeline. Tracks without an edit list are left
// out; a file that is not an ISO media file, or is damaged, gives nothing.
std::map<int, MediaTime> presentationEndsFromEditLists(const std::filesystem::path& path);

} // namespace vexel::media::detail
