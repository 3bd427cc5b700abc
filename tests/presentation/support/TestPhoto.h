#pragma once

#include "support/ImageFileWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>

namespace vexel::test {

// A photo without hard edges, so that any two good resamplings of it agree:
// a sky darkening to the top right over warm ground, a soft sun off centre
// (upper left), so that a turn or a mirror shows. Written as a PNG.
inline void writeTestPhoto(const std::filesystem::path& path, int width, int height) {
    media::PixelBuffer pixels = media::PixelBuffer::create(width, height);
    const double sunX = 0.3 * width;
    const double sunY = 0.3 * height;
    const double sunRadius = 0.15 * std::min(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = pixels.row(y);
        const double v = static_cast<double>(y) / height;
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width;
            const double ground = std::clamp((v - 0.55) * 6, 0.0, 1.0);
            const double distance = std::hypot(x - sunX, y - sunY) / sunRadius;
            const double sun = std::clamp(1.5 - distance, 0.0, 1.0);
            double red =
                (1 - ground) * (60 + 80 * v - 30 * u) + ground * (170 - 60 * v) + 150 * sun;
            double green =
                (1 - ground) * (110 + 90 * v - 40 * u) + ground * (120 - 50 * v) + 120 * sun;
            double blue = (1 - ground) * (200 - 40 * u) + ground * (60 + 20 * u) + 20 * sun;
            row[4 * x + 0] = static_cast<std::uint8_t>(std::clamp(blue, 0.0, 255.0));
            row[4 * x + 1] = static_cast<std::uint8_t>(std::clamp(green, 0.0, 255.0));
            row[4 * x + 2] = static_cast<std::uint8_t>(std::clamp(red, 0.0, 255.0));
            row[4 * x + 3] = 255;
        }
    }
    pixels.setOpaque(true);
    vexel::testing::writeImageFile(path, pixels, vexel::testing::ImageFileFormat::png);
}

} // namespace vexel::test
