#pragma once

// Writes media files the way other programs do, through FFmpeg's own muxers and
// encoders (VP9, AV1, MPEG-2, AC-3, Opus, FLAC, MP3, WebP…), not through the
// project's writer: files whose containers, pixel shapes, field orders and
// timestamps are those of phones, cameras and the web.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vexel::testing {

enum class FieldOrder { progressive, topFieldFirst, bottomFieldFirst };

// Fills a BGRA picture (straight alpha) for frame `index`.
using PaintFrame =
    std::function<void(int index, std::uint8_t* bgra, int stride, int width, int height)>;

using Options = std::vector<std::pair<std::string, std::string>>;

struct ForeignVideo {
    std::string encoder = "libx264";
    int width = 320;
    int height = 240;
    int rateNumerator = 25;
    int rateDenominator = 1;
    int frameCount = 50;
    int aspectNumerator = 1;
    int aspectDenominator = 1;
    FieldOrder fields = FieldOrder::progressive;
    // The encoder's first pixel format when empty.
    std::string pixelFormat{};
    // The encoder's private options ("preset", "deadline", "cpu-used", …).
    Options options{};
    // The default paints the project's test frame: grey at frameLevel(index)
    // on the left half, blue on the right, a white mark at the top left.
    PaintFrame paint{};
};

struct ForeignAudio {
    std::string encoder = "aac";
    int sampleRate = 48000;
    int channels = 2;
    double seconds = 2.0;
    double frequency = 440;
    Options options{};
};

struct ForeignMedia {
    // A muxer name: "webm", "matroska", "mpegts", "mp4", "mov", "mp3", "flac", "ogg"…
    std::string container{};
    std::optional<ForeignVideo> video{};
    std::optional<ForeignAudio> audio{};
    // Added to every timestamp, as cameras and broadcast streams begin late.
    double startSeconds = 0;
    Options muxerOptions{};
};

// The grey level of frame `index` of the default picture: steps of 4.
std::uint8_t foreignFrameLevel(int index);

// Writes the file; throws std::runtime_error with FFmpeg's text on failure.
void writeForeignMedia(const std::filesystem::path& path, const ForeignMedia& media);

// A still picture through one of FFmpeg's image encoders ("libwebp" into
// "webp", "png" into "image2"…), painted as frame 0 would be.
void writeForeignImage(const std::filesystem::path& path, const std::string& encoder,
                       const std::string& muxer, int width, int height,
                       const PaintFrame& paint = {}, const Options& options = {});

} // namespace vexel::testing
