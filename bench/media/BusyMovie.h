#pragma once

#include "BusyFrames.h"
#include "platform/media/MovieWriter.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace vexel::bench {

// A 1080p30 H.264 movie of busy frames, written fresh in the scratch folder.
struct BusyMovie {
    int frameCount = 165;
    // Shifts the pattern, so two movies of one bench differ.
    int seed = 0;
    int grain = 6;
    int maxKeyFrameInterval = 0;
};

inline std::filesystem::path writeBusyMovie(const std::string& name, const BusyMovie& movie) {
    const std::filesystem::path path = scratchPath(name);
    std::filesystem::remove(path);
    const auto frames = busyFrames(30 + movie.seed, movie.grain);
    media::MovieWriter writer(path, media::FileType::mp4);
    media::VideoWriterInput& input = writer.addVideoInput(
        {.width = 1920, .height = 1080, .maxKeyFrameInterval = movie.maxKeyFrameInterval});
    if (!writer.startWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
    for (int i = 0; i < movie.frameCount; ++i) {
        input.append(frames[static_cast<std::size_t>(i + movie.seed) % frames.size()],
                     media::MediaTime(i, 30));
    }
    input.markAsFinished();
    if (!writer.finishWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
    return path;
}

} // namespace vexel::bench
