#pragma once

#include "platform/media/Geometry.h"

#include <filesystem>
#include <stop_token>

namespace vexel {

// Writes the all-black H.264 movie that carries overlays where no video clip
// lies beneath them.
class BlackVideoGenerator {
public:
    BlackVideoGenerator() = delete;

    static constexpr double maxDuration = 3600;
    static constexpr int maxDimension = 7680;
    static constexpr int maxFramesPerSecond = 30;

    // A new "black_<UUID>.mp4" in the staging folder, `duration` seconds
    // (0 < duration <= 3600) long at `fps` (1 to 30) frames per second and
    // `size` (each side truncated, 1 to 7680) large; the caller owns it.
    // Throws BlackVideoGeneratorError, std::filesystem::filesystem_error for
    // the staging folder, and CancellationError when `stop` is requested.
    // Whatever it throws, it leaves no file behind.
    static std::filesystem::path generate(media::Size size, double duration, int fps,
                                          std::stop_token stop = {});
};

} // namespace vexel
