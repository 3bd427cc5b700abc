#pragma once

#include "platform/media/MovieWriter.h"

#include <QColor>

#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace vexel::test {

// 4 s of 640 x 360: a band of hues across, bright at the top and darker
// down, sliding a little every frame, so that colour and filter show.
inline void writeColourfulMovie(const std::filesystem::path& path) {
    constexpr int width = 640;
    constexpr int height = 360;
    media::MovieWriter writer(path, media::FileType::mp4);
    auto& video = writer.addVideoInput({.width = width, .height = height, .frameRate = 30});
    if (!writer.startWriting()) {
        throw std::runtime_error("startWriting failed");
    }
    media::PixelBufferPool pool(width, height);
    for (int i = 0; i < 120; ++i) {
        media::PixelBuffer frame = pool.makeBufferForOverwrite();
        std::vector<QColor> hues;
        for (int x = 0; x < width; ++x) {
            hues.push_back(QColor::fromHsvF(std::fmod((x + 4.0 * i) / width, 1.0), 0.75, 1.0));
        }
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = frame.row(y);
            const double light = 0.35 + 0.6 * (1 - static_cast<double>(y) / height);
            for (int x = 0; x < width; ++x) {
                const QColor& hue = hues[static_cast<std::size_t>(x)];
                row[4 * x + 0] = static_cast<std::uint8_t>(hue.blue() * light);
                row[4 * x + 1] = static_cast<std::uint8_t>(hue.green() * light);
                row[4 * x + 2] = static_cast<std::uint8_t>(hue.red() * light);
                row[4 * x + 3] = 255;
            }
        }
        if (!video.append(frame, media::MediaTime(i, 30))) {
            throw std::runtime_error("append failed");
        }
    }
    video.markAsFinished();
    if (!writer.finishWriting()) {
        throw std::runtime_error("finishWriting failed");
    }
}

} // namespace vexel::test
