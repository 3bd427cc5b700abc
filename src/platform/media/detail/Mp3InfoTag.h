#pragma once

// What the Xing or Info frame at the head of an MP3 file says about the length
// of its sound. Internal to the media layer.
//
// An MP3 encoder puts a delay before the sound and pads the last frame; the
// decoder adds a delay of its own. FFmpeg skips all of that when decoding
// (the LAME tag's start and end padding), but reports the stream's length as
// every frame's samples, padding included.

#include <cstdint>
#include <filesystem>
#include <optional>

namespace vexel::media::detail {

struct Mp3SoundLength {
    // Samples of sound the decoder gives once the delays and the padding are
    // skipped, at `sampleRate`.
    std::int64_t samples = 0;
    int sampleRate = 0;
};

// Nothing for a file without a frame count and a LAME tag (one written by
// LAME or FFmpeg), or one that is not an MP3 file.
std::optional<Mp3SoundLength> mp3SoundLength(const std::filesystem::path& path);

} // namespace vexel::media::detail
