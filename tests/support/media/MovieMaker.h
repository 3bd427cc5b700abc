#pragma once

#include "platform/media/MovieWriter.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <stdexcept>

namespace vexel::testing {

struct TestMovie {
    media::FileType fileType = media::FileType::mp4;
    media::VideoCodec codec = media::VideoCodec::h264;
    int width = 320;
    int height = 240;
    int frameRate = 30;
    int frameCount = 60;
    media::Affine transform{};
    bool hasVideo = true;
    bool hasAudio = true;
    int audioRate = 44100;
    int audioChannels = 2;
    int maxKeyFrameInterval = 0;
    // Sound as long as this many frames; -1: as long as the video.
    int soundFrameCount = -1;
};

// The colour of frame `index` of a test movie: grey levels that step by 4.
inline std::uint8_t testFrameLevel(int index) {
    return static_cast<std::uint8_t>(16 + (index * 4) % 224);
}

// A frame whose left half is grey at the frame's level and whose right half
// is pure blue, with a white 8x8 mark in the top-left corner.
inline media::PixelBuffer makeTestFrame(media::PixelBufferPool& pool, int index) {
    media::PixelBuffer buffer = pool.makeBufferForOverwrite();
    std::uint8_t level = testFrameLevel(index);
    for (int y = 0; y < buffer.height(); ++y) {
        std::uint8_t* row = buffer.row(y);
        for (int x = 0; x < buffer.width(); ++x) {
            std::uint8_t* p = row + 4 * x;
            bool mark = x < 8 && y < 8;
            bool left = x < buffer.width() / 2;
            p[0] = mark ? 255 : left ? level : 255;
            p[1] = mark ? 255 : left ? level : 0;
            p[2] = mark ? 255 : left ? level : 0;
            p[3] = 255;
        }
    }
    return buffer;
}

// Writes a movie with the project's own writer: frames at i / frameRate, and
// a 440 Hz tone as long as the video (or soundFrameCount / frameRate seconds).
inline void writeTestMovie(const std::filesystem::path& path, const TestMovie& formats = {}) {
    media::MovieWriter writer(path, formats.fileType);
    media::VideoWriterInput* video = nullptr;
    media::AudioWriterInput* audio = nullptr;
    if (formats.hasVideo) {
        video =
            &writer.addVideoInput({formats.codec, formats.width, formats.height, formats.transform,
                                   formats.frameRate, formats.maxKeyFrameInterval});
    }
    if (formats.hasAudio) {
        audio = &writer.addAudioInput({});
    }
    if (!writer.startWriting()) {
        throw std::runtime_error("startWriting: " + writer.error()->message());
    }
    if (video) {
        media::PixelBufferPool pool(formats.width, formats.height);
        for (int i = 0; i < formats.frameCount; ++i) {
            if (!video->append(makeTestFrame(pool, i), media::MediaTime(i, formats.frameRate))) {
                throw std::runtime_error("video append failed");
            }
        }
        video->markAsFinished();
    }
    if (audio) {
        const int soundFrames =
            formats.soundFrameCount < 0 ? formats.frameCount : formats.soundFrameCount;
        const std::int64_t total =
            static_cast<std::int64_t>(soundFrames) * formats.audioRate / formats.frameRate;
        const int chunk = 1000;
        for (std::int64_t start = 0; start < total; start += chunk) {
            media::AudioSamples samples;
            samples.time = media::MediaTime(start, formats.audioRate);
            samples.sampleRate = formats.audioRate;
            samples.channelCount = formats.audioChannels;
            std::int64_t count = std::min<std::int64_t>(chunk, total - start);
            for (std::int64_t i = start; i < start + count; ++i) {
                double phase =
                    2 * std::numbers::pi * 440.0 * static_cast<double>(i) / formats.audioRate;
                auto value = static_cast<std::int16_t>(std::lround(12000 * std::sin(phase)));
                for (int c = 0; c < formats.audioChannels; ++c) {
                    samples.samples.push_back(value);
                }
            }
            if (!audio->append(samples)) {
                throw std::runtime_error("audio append failed");
            }
        }
        audio->markAsFinished();
    }
    if (!writer.finishWriting()) {
        throw std::runtime_error("finishWriting: " + writer.error()->message());
    }
}

} // namespace vexel::testing
