#pragma once

#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>

namespace vexel::testing {

// The decoded frame of the movie's first video track that shows at `seconds`.
inline media::PixelBuffer frameAt(const std::filesystem::path& movie, double seconds) {
    const media::Asset asset = media::Asset::load(movie);
    const std::optional<media::AssetTrack> video = asset.firstTrack(media::MediaType::video);
    if (!video) {
        throw std::runtime_error("no video track in " + movie.string());
    }
    media::AssetReader reader(
        asset, *video,
        {.timeRange = media::MediaTimeRange{media::MediaTime::fromSeconds(seconds),
                                            media::MediaTime(1, 30)}});
    if (!reader.startReading()) {
        throw std::runtime_error("cannot read " + movie.string());
    }
    std::optional<media::VideoFrame> frame = reader.copyNextVideoFrame();
    if (!frame) {
        throw std::runtime_error("no frame at that time in " + movie.string());
    }
    return frame->buffer;
}

// The mean of the blue, green and red levels of `frame` over [x0, x1) x [y0, y1).
inline double meanLevel(const media::PixelBuffer& frame, int x0, int y0, int x1, int y1) {
    double sum = 0;
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* row = frame.row(y);
        for (int x = x0; x < x1; ++x) {
            sum += row[4 * x] + row[4 * x + 1] + row[4 * x + 2];
        }
    }
    return sum / (3.0 * (x1 - x0) * (y1 - y0));
}

} // namespace vexel::testing
