// Writes the guided tutorial's sample video with the application's own movie
// writer, so that no binary media has to live in the repository: eight
// seconds of 640x360 H.264 at 30 frames a second, a slow colour sweep with a
// bar crossing it (so that a split or a fade shows), over a soft two-note
// tone in AAC.
#include "platform/media/MovieWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <numbers>
#include <stdexcept>
#include <string>
#include <system_error>

namespace {

using namespace vexel::media;

constexpr int width = 640;
constexpr int height = 360;
constexpr int frameRate = 30;
constexpr int seconds = 8;
constexpr int sampleRate = 44100;

std::uint8_t channel(double value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
}

PixelBuffer frame(PixelBufferPool& pool, int index) {
    PixelBuffer buffer = pool.makeBufferForOverwrite();
    const double t = static_cast<double>(index) / (frameRate * seconds);
    const int barX = static_cast<int>(t * (width + 80)) - 80;
    for (int y = 0; y < buffer.height(); ++y) {
        std::uint8_t* row = buffer.row(y);
        const double v = static_cast<double>(y) / height;
        for (int x = 0; x < buffer.width(); ++x) {
            const double u = static_cast<double>(x) / width;
            const bool bar = x >= barX && x < barX + 80;
            const double hue = 2 * std::numbers::pi * (u * 0.5 + t);
            const double red = bar ? 0.95 : 0.45 + 0.35 * std::sin(hue);
            const double green = bar ? 0.95 : 0.40 + 0.30 * std::sin(hue + 2.1) * (1 - v * 0.5);
            const double blue = bar ? 0.95 : 0.55 + 0.35 * std::sin(hue + 4.2);
            std::uint8_t* pixel = row + 4 * x;
            pixel[0] = channel(blue);
            pixel[1] = channel(green);
            pixel[2] = channel(red);
            pixel[3] = 255;
        }
    }
    return buffer;
}

// A quiet tone that changes note halfway, faded in and out.
AudioSamples sound(std::int64_t start, std::int64_t count) {
    AudioSamples samples;
    samples.time = MediaTime(start, sampleRate);
    samples.sampleRate = sampleRate;
    samples.channelCount = 2;
    const std::int64_t total = static_cast<std::int64_t>(seconds) * sampleRate;
    for (std::int64_t i = start; i < start + count; ++i) {
        const double frequency = i < total / 2 ? 220.0 : 330.0;
        const double edge = std::min({1.0, static_cast<double>(i) / sampleRate,
                                      static_cast<double>(total - i) / sampleRate});
        const double value =
            3000 * edge *
            std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i) / sampleRate);
        const auto level = static_cast<std::int16_t>(std::lround(value));
        samples.samples.push_back(level);
        samples.samples.push_back(level);
    }
    return samples;
}

void write(const std::filesystem::path& path) {
    MovieWriter writer(path, FileType::mp4);
    VideoWriterInput& video =
        writer.addVideoInput({VideoCodec::h264, width, height, {}, frameRate});
    AudioWriterInput& audio = writer.addAudioInput({});
    if (!writer.startWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
    PixelBufferPool pool(width, height);
    for (int i = 0; i < frameRate * seconds; ++i) {
        if (!video.append(frame(pool, i), MediaTime(i, frameRate))) {
            throw std::runtime_error("the video writer stopped taking frames");
        }
    }
    video.markAsFinished();
    const std::int64_t total = static_cast<std::int64_t>(seconds) * sampleRate;
    for (std::int64_t start = 0; start < total; start += 4410) {
        if (!audio.append(sound(start, std::min<std::int64_t>(4410, total - start)))) {
            throw std::runtime_error("the audio writer stopped taking samples");
        }
    }
    audio.markAsFinished();
    if (!writer.finishWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.mp4\n", argv[0]);
        return 2;
    }
    const std::filesystem::path output = argv[1];
    // Written beside the output and renamed over it, so that a failed run never
    // leaves a half-written sample for the build to take as done.
    const std::filesystem::path partial = output.string() + ".partial";
    try {
        std::filesystem::create_directories(output.parent_path());
        std::filesystem::remove(partial);
        write(partial);
        std::filesystem::rename(partial, output);
    } catch (const std::exception& error) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        std::fprintf(stderr, "cannot write the tutorial sample: %s\n", error.what());
        return 1;
    }
    return 0;
}
