#pragma once

namespace vexel::media {

// What a track of a media file carries. Cover art and data streams are `other`.
enum class MediaType { video, audio, other };

} // namespace vexel::media
