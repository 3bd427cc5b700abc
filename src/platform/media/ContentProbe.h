#pragma once

#include <filesystem>
#include <variant>

namespace vexel::media {

// What a file's bytes say it holds, whatever its name: FFmpeg's own probing
// of the content, never its guess from the extension. It tells a movie from a
// sound and a still picture, and for a file that is none of them why not.
namespace ContentProbe {

enum class Kind {
    // At least one picture stream that is not a cover image.
    movie,
    // Sound only (a cover image does not count as a picture).
    sound,
    // One still picture in an image format (PNG, JPEG, WebP, …).
    still,
};

enum class Problem {
    // Nothing at the path, or no regular file there.
    missing,
    // There, but this process may not read it.
    unreadable,
    // No bytes at all.
    empty,
    // Bytes in no format FFmpeg knows.
    notMedia,
    // A known format whose streams cannot be read: cut short, or broken.
    damaged,
    // Readable, but without a picture or sound stream.
    noPictureOrSound,
};

using Verdict = std::variant<Kind, Problem>;

// Blocking: opens and reads the head of the file. Never throws.
Verdict examine(const std::filesystem::path& path);

} // namespace ContentProbe

} // namespace vexel::media
