#pragma once

// Files as phones, cameras, browsers and other programs write them, made by
// FFmpeg's own muxers and encoders: the kinds the editor must tell by their
// content because its extension table does not name them, and the broken
// files it must refuse with a reason.

#include <filesystem>
#include <string>

namespace vexel::testing {

enum class ForeignSample {
    webm,         // "film.webm": VP9 and Opus, 1 s
    matroska,     // "film.mkv": H.264 and AAC, 1 s
    flac,         // "song.flac": 1 s of sound
    ogg,          // "song.ogg": Vorbis, 1 s
    webp,         // "photo.webp": a still, 64 × 48
    mpegTs,       // "broadcast.ts": H.264 and AC-3 in a transport stream, 1 s
    cameraTs,     // "camera.mts": the same, as cameras name it
    soundOnlyWebm // "voice.webm": Opus alone in WebM, 1 s
};

enum class BrokenSample {
    truncatedMp4, // "broken.mp4": the first half of an MP4, its index lost
    empty,        // "empty.mp4": no bytes
    textAsMp4,    // "notes.mp4": plain text
};

// The file's name in `folder` (its extension tells the kind).
std::string sampleName(ForeignSample sample);
std::string sampleName(BrokenSample sample);

// Writes the sample into `folder` and returns its path.
std::filesystem::path writeSample(const std::filesystem::path& folder, ForeignSample sample);
std::filesystem::path writeSample(const std::filesystem::path& folder, BrokenSample sample);

} // namespace vexel::testing
