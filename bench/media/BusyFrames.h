#pragma once

#include "platform/media/PixelBuffer.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace vexel::bench {

// Frames with detail everywhere, so the encoder has real work: moving colour
// waves under grain that changes every frame.
// `grain` is the spread of the noise, 0 to 256.
inline std::vector<media::PixelBuffer> busyFrames(int count, int grain = 32, int width = 1920,
                                                  int height = 1080) {
    std::vector<media::PixelBuffer> frames;
    std::uint32_t seed = 12345;
    for (int f = 0; f < count; ++f) {
        media::PixelBuffer buffer = media::PixelBuffer::create(width, height);
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = buffer.row(y);
            for (int x = 0; x < width; ++x) {
                seed = seed * 1664525u + 1013904223u;
                int noise = grain > 0 ? static_cast<int>((seed >> 16) % grain) - grain / 2 : 0;
                int wave = ((x + 4 * f) ^ (y + 2 * f)) & 0xFF;
                auto clamp = [](int v) {
                    return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
                };
                row[4 * x + 0] = clamp(wave + noise);
                row[4 * x + 1] = clamp(((x * 3 + f * 5) & 0xFF) + noise);
                row[4 * x + 2] = clamp(((y * 2 + f * 7) & 0xFF) - noise);
                row[4 * x + 3] = 255;
            }
        }
        frames.push_back(std::move(buffer));
    }
    return frames;
}

inline std::filesystem::path scratchPath(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("vexel-bench-" + std::to_string(::getpid()) + "-" + name);
}

} // namespace vexel::bench
