#include "data/media/BlackVideoGenerator.h"

#include "data/media/BlackVideoGeneratorError.h"
#include "data/media/StagingFolder.h"
#include "foundation/CancellationError.h"
#include "foundation/Uuid.h"
#include "platform/media/MovieWriter.h"

#include <chrono>
#include <cmath>
#include <system_error>

namespace vexel {

namespace {

using media::MovieWriter;

void removeIgnoringErrors(const std::filesystem::path& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

// The writer's own description of its failure, or `fallback`.
std::string writerError(const MovieWriter& writer, const std::string& fallback) {
    auto error = writer.error();
    return error ? error->message() : fallback;
}

bool isWholeSizeInRange(double side) {
    double whole = std::trunc(side);
    return std::isfinite(side) && whole >= 1 && whole <= BlackVideoGenerator::maxDimension;
}

// Writes the movie into `url`. Whatever it throws, the caller removes the
// file, once the writer here has let go of it.
void writeBlackMovie(const std::filesystem::path& url, int width, int height, double duration,
                     int fps, const std::stop_token& stop) {
    MovieWriter writer(url, media::FileType::mp4);
    media::VideoWriterInput& input =
        writer.addVideoInput(media::VideoSettings{.codec = media::VideoCodec::h264,
                                                  .width = width,
                                                  .height = height,
                                                  .transform = {},
                                                  .frameRate = fps});
    if (!writer.startWriting()) {
        throw BlackVideoGeneratorError::writerFailed(
            writerError(writer, "Failed to start writing"));
    }
    writer.startSession(media::MediaTime::zero());

    // Never drawn into: new buffers are all zero bytes, which is black.
    media::PixelBuffer frame;
    try {
        frame = media::PixelBuffer::create(width, height);
    } catch (const std::exception&) {
        throw BlackVideoGeneratorError::cannotCreatePixelBuffer();
    }

    const auto frameCount = static_cast<std::int64_t>(std::ceil(duration * fps)) + 1;
    for (std::int64_t i = 0; i < frameCount; ++i) {
        const std::string appendFailed = "Failed to append frame " + std::to_string(i);
        while (!input.isReadyForMoreMediaData()) {
            // A failed writer never becomes ready again.
            if (writer.status() != MovieWriter::Status::writing) {
                throw BlackVideoGeneratorError::writerFailed(writerError(writer, appendFailed));
            }
            // At most 10 ms, but no longer than until the input has room.
            input.waitUntilReadyForMoreMediaData(std::chrono::milliseconds(10));
            throwIfCancelled(stop);
        }
        throwIfCancelled(stop);
        if (!input.append(frame, media::MediaTime(i * 600, fps * 600))) {
            throw BlackVideoGeneratorError::writerFailed(writerError(writer, appendFailed));
        }
    }
    input.markAsFinished();
    if (!writer.finishWriting()) {
        throw BlackVideoGeneratorError::writerFailed(writerError(writer, "Unknown error"));
    }
}

} // namespace

std::filesystem::path BlackVideoGenerator::generate(media::Size size, double duration, int fps,
                                                    std::stop_token stop) {
    if (!(duration > 0 && duration <= maxDuration)) {
        throw BlackVideoGeneratorError::invalidDuration();
    }
    if (!isWholeSizeInRange(size.width) || !isWholeSizeInRange(size.height)) {
        throw BlackVideoGeneratorError::invalidSize();
    }
    if (!(fps >= 1 && fps <= maxFramesPerSecond)) {
        throw BlackVideoGeneratorError::invalidFPS();
    }
    const int width = static_cast<int>(size.width);
    const int height = static_cast<int>(size.height);

    std::filesystem::path url =
        ensureStagingFolder() / ("black_" + Uuid::random().string() + ".mp4");
    try {
        writeBlackMovie(url, width, height, duration, fps, stop);
    } catch (...) {
        // Cancelled or failed, a half-written movie is of no use to anyone,
        // and nobody else knows its name.
        removeIgnoringErrors(url);
        throw;
    }
    return url;
}

} // namespace vexel
