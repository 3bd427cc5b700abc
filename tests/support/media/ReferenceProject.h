#pragma once

#include "data/composition/TestProjects.h"
#include "domain/entities/Project.h"
#include "platform/media/MovieWriter.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <stdexcept>
#include <thread>
#include <vector>

// The reference project that exports and the preview are measured and
// compared on: clip A (0-10 s, colour controls) dissolving over 1 s into
// clip B (sepia, ending at 19 s), the title "Hello Vexel" from 2 to 8 s and a
// 640x360 picture from 12 to 16 s fading in over 0.5 s; with its sources
// written by the project's own writer.
namespace vexel::testing {

struct ReferenceSources {
    std::filesystem::path first;
    std::filesystem::path second;
    std::filesystem::path image;
};

// Fills `frame` with detail everywhere that moves from frame to frame, so
// that an encoder has real work; made one at a time to keep memory low.
inline void paintBusyFrame(media::PixelBuffer& frame, int index, std::uint32_t seed) {
    for (int y = 0; y < frame.height(); ++y) {
        std::uint8_t* pixel = frame.row(y);
        for (int x = 0; x < frame.width(); ++x, pixel += 4) {
            seed = seed * 1103515245u + 12345u;
            const int grain = static_cast<int>((seed >> 20) & 15) - 8;
            const int wave = ((x + 6 * index) * (y + 3 * index) >> 7) & 0xFF;
            auto level = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
            pixel[0] = level(wave + grain);
            pixel[1] = level(((x + y) / 2 + 4 * index) % 256 + grain);
            pixel[2] = level((y * 255) / frame.height() - grain);
            pixel[3] = 255;
        }
    }
}

// Fills `frame` with what a camera gives an encoder: colour gradients that
// drift and a white square that moves, sharp-edged, across them. Kept well by
// an encoder even in 4:2:0, where the busy frames' detail in every colour
// channel is not.
inline void paintSmoothFrame(media::PixelBuffer& frame, int index, std::uint32_t seed) {
    const int width = frame.width();
    const int height = frame.height();
    auto wave = [](double turns) {
        return static_cast<std::uint8_t>(
            std::lround(128 + 100 * std::sin(2 * std::numbers::pi * turns)));
    };
    std::vector<std::uint8_t> blue(static_cast<std::size_t>(width));
    std::vector<std::uint8_t> green(static_cast<std::size_t>(height));
    std::vector<std::uint8_t> red(static_cast<std::size_t>(width + height));
    for (int x = 0; x < width; ++x) {
        blue[static_cast<std::size_t>(x)] = wave(x / 960.0 + index / 90.0 + seed / 7.0);
    }
    for (int y = 0; y < height; ++y) {
        green[static_cast<std::size_t>(y)] = wave(y / 540.0 + index / 120.0);
    }
    for (int d = 0; d < width + height; ++d) {
        red[static_cast<std::size_t>(d)] = wave(d / 1400.0 - index / 60.0);
    }
    const int side = height / 5;
    const int left = (index * 12 + static_cast<int>(seed) * 40) % (width - side);
    const int top = (height - side) / 2;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* pixel = frame.row(y);
        for (int x = 0; x < width; ++x, pixel += 4) {
            const bool square = x >= left && x < left + side && y >= top && y < top + side;
            pixel[0] = square ? 240 : blue[static_cast<std::size_t>(x)];
            pixel[1] = square ? 240 : green[static_cast<std::size_t>(y)];
            pixel[2] = square ? 240 : red[static_cast<std::size_t>(x + y)];
            pixel[3] = 255;
        }
    }
}

enum class ReferencePicture {
    // Detail everywhere, for measuring an encoder's work.
    busy,
    // Gradients and a moving square, for comparing pictures after encoding.
    smooth,
};

// 10 s at 1080p30 with a stereo chord whose upper note depends on `seed`.
// `tuning` trades the file's quality for writing time; both the preview and
// an export decode the same file, so a comparison of the two does not depend
// on it.
inline void writeReferenceSource(const std::filesystem::path& path, std::uint32_t seed,
                                 ReferencePicture picture = ReferencePicture::busy,
                                 const media::EncoderTuning& tuning = {}) {
    constexpr int kFrames = 300;
    constexpr int kRate = 44100;
    media::MovieWriter writer(path, media::FileType::mp4, tuning);
    media::VideoWriterInput& video = writer.addVideoInput({.width = 1920, .height = 1080});
    media::AudioWriterInput& audio = writer.addAudioInput({});
    if (!writer.startWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
    std::thread sound([&] {
        for (int second = 0; second < kFrames / 30; ++second) {
            media::FloatAudioSamples samples{media::MediaTime(second, 1), kRate, 2, {}};
            for (int i = 0; i < kRate; ++i) {
                const double t = static_cast<double>(second * kRate + i) / kRate;
                samples.samples.push_back(
                    static_cast<float>(0.3 * std::sin(2 * std::numbers::pi * 220 * t)));
                samples.samples.push_back(
                    static_cast<float>(0.3 * std::sin(2 * std::numbers::pi * (330 + seed) * t)));
            }
            audio.append(samples);
        }
        audio.markAsFinished();
    });
    media::PixelBufferPool pool(1920, 1080);
    for (int i = 0; i < kFrames; ++i) {
        media::PixelBuffer frame = pool.makeBufferForOverwrite();
        if (picture == ReferencePicture::busy) {
            paintBusyFrame(frame, i, seed + static_cast<std::uint32_t>(i));
        } else {
            paintSmoothFrame(frame, i, seed);
        }
        video.append(frame, media::MediaTime(i, 30));
    }
    video.markAsFinished();
    sound.join();
    if (!writer.finishWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
}

// A 640x360 PNG of colour ramps. Needs a QGuiApplication.
inline void writeReferencePicture(const std::filesystem::path& path) {
    QImage image(640, 360, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgba((x * 2) & 0xFF, (y * 3) & 0xFF, (x + y) & 0xFF, 255));
        }
    }
    if (!image.save(QString::fromStdString(path.string()), "PNG")) {
        throw std::runtime_error("cannot write the overlay picture");
    }
}

// The two sources and the picture, written under `folder` as "a.mp4",
// "b.mp4" and "overlay.png".
inline ReferenceSources writeReferenceSources(const std::filesystem::path& folder,
                                              ReferencePicture picture,
                                              const media::EncoderTuning& tuning = {}) {
    ReferenceSources sources{folder / "a.mp4", folder / "b.mp4", folder / "overlay.png"};
    writeReferenceSource(sources.first, 1, picture, tuning);
    writeReferenceSource(sources.second, 77, picture, tuning);
    writeReferencePicture(sources.image);
    return sources;
}

inline Project referenceProject(const ReferenceSources& sources) {
    Clip first = clipOf(TrackType::video, 0, 10, sources.first);
    first.colorAdjust = ColorAdjust{0.1, 1.2, 1.3};
    // Placed at 10 s, drawn 1 s earlier under the dissolve: it ends at 19 s.
    Clip second = clipOf(TrackType::video, 10, 10, sources.second);
    second.filter = FilterPreset{"sepia", 1.0};
    const TransitionEffect dissolve{1, TransitionType::crossDissolve(), EasingCurve::linear};
    first.transitionOut = dissolve;
    second.transitionIn = dissolve;
    Clip title = clipOf(TrackType::text, 2, 6);
    title.assetName = "Hello Vexel";
    title.textStyle = TextStyle{48, "white", "black", 2, std::nullopt, std::nullopt};
    title.textPosition = TextPosition::bottom();
    Clip picture = clipOf(TrackType::image, 12, 4, sources.image);
    picture.transitionIn = TransitionEffect{0.5, TransitionType::fade(), EasingCurve::linear};
    return projectOf({trackOf(TrackType::video, {first, second}), trackOf(TrackType::text, {title}),
                      trackOf(TrackType::image, {picture})});
}

} // namespace vexel::testing
