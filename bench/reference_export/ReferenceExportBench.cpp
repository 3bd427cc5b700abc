// Exports the reference project end to end: clip A (0-10 s, colour controls)
// dissolving over 1 s into clip B (sepia, ending at 19 s), the title "Hello
// Vexel" from 2 to 8 s and a 640x360 picture from 12 to 16 s fading in over
// 0.5 s. Prints the wall time, frame count and peak resident memory of one
// export, then measures in one interleaved run the same export and the
// encoder floor: the two sources decoded and encoded back to back into one
// file with the same settings and no effects. Both as MP4 with H.264 and as
// MOV with HEVC.
//
//   bench_reference_export [A.mp4 B.mp4 overlay.png] [--preset NAME] [--crf N]
//                          [--benchmark_...]
// Without files, 10 s 1080p30 sources with stereo sound and the picture are
// written first with MovieWriter.

#include "data/composition/CompositionBuilder.h"
#include "data/composition/TestProjects.h"
#include "data/export/FFmpegExportService.h"
#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"
#include "platform/media/CompositionReader.h"
#include "platform/media/MovieWriter.h"
#include "support/GuiBenchmarks.h"
#include "support/RunTimes.h"

#include <QImage>

#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/log.h>
}

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace vexel;
using media::MediaTime;
using testing::clipOf;
using testing::projectOf;
using testing::trackOf;

namespace {

struct Inputs {
    std::filesystem::path first;
    std::filesystem::path second;
    std::filesystem::path image;
    media::EncoderTuning tuning;
};

std::filesystem::path scratch(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("vexel-reference-" + std::to_string(::getpid()) + "-" + name);
}

// Fills `frame` with detail everywhere that moves from frame to frame, so
// that the encoder has real work; made one at a time to keep memory low.
void paintBusyFrame(media::PixelBuffer& frame, int index, std::uint32_t seed) {
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

// 10 s at 1080p30 with a stereo chord, written by the project's own writer.
std::filesystem::path writeSource(const std::string& name, std::uint32_t seed) {
    constexpr int kFrames = 300;
    constexpr int kRate = 44100;
    const std::filesystem::path path = scratch(name);
    media::MovieWriter writer(path, media::FileType::mp4);
    media::VideoWriterInput& video = writer.addVideoInput({.width = 1920, .height = 1080});
    media::AudioWriterInput& audio = writer.addAudioInput({});
    if (!writer.startWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
    std::thread sound([&] {
        for (int second = 0; second < 10; ++second) {
            media::FloatAudioSamples samples{MediaTime(second, 1), kRate, 2, {}};
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
        paintBusyFrame(frame, i, seed + static_cast<std::uint32_t>(i));
        video.append(frame, MediaTime(i, 30));
    }
    video.markAsFinished();
    sound.join();
    if (!writer.finishWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
    return path;
}

std::filesystem::path writePicture() {
    const std::filesystem::path path = scratch("overlay.png");
    QImage image(640, 360, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgba((x * 2) & 0xFF, (y * 3) & 0xFF, (x + y) & 0xFF, 255));
        }
    }
    if (!image.save(QString::fromStdString(path.string()), "PNG")) {
        throw std::runtime_error("cannot write the overlay picture");
    }
    return path;
}

Project referenceProject(const Inputs& inputs) {
    Clip first = clipOf(TrackType::video, 0, 10, inputs.first);
    first.colorAdjust = ColorAdjust{0.1, 1.2, 1.3};
    // Placed at 10 s, drawn 1 s earlier under the dissolve: it ends at 19 s.
    Clip second = clipOf(TrackType::video, 10, 10, inputs.second);
    second.filter = FilterPreset{"sepia", 1.0};
    const TransitionEffect dissolve{1, TransitionType::crossDissolve(), EasingCurve::linear};
    first.transitionOut = dissolve;
    second.transitionIn = dissolve;
    Clip title = clipOf(TrackType::text, 2, 6);
    title.assetName = "Hello Vexel";
    title.textStyle = TextStyle{48, "white", "black", 2, std::nullopt, std::nullopt};
    title.textPosition = TextPosition::bottom();
    Clip picture = clipOf(TrackType::image, 12, 4, inputs.image);
    picture.transitionIn = TransitionEffect{0.5, TransitionType::fade(), EasingCurve::linear};
    return projectOf({trackOf(TrackType::video, {first, second}), trackOf(TrackType::text, {title}),
                      trackOf(TrackType::image, {picture})});
}

// A line of the process's status in MiB: "VmHWM:" the highest resident
// memory since the last reset, "VmRSS:" what is resident now.
double statusMiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stod(line.substr(field.size())) / 1024;
        }
    }
    return 0;
}

// Starts the peak afresh from what the process holds now, after handing the
// heap that earlier work (writing the sources, the run before) freed back to
// the system: otherwise that work's leftovers count towards every later peak.
void resetPeakResident() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

std::int64_t frameCount(const std::filesystem::path& movie) {
    const media::Asset asset = media::Asset::load(movie);
    const auto video = asset.firstTrack(media::MediaType::video);
    return video ? std::llround(video->timeRange.duration.seconds() * 30) : 0;
}

media::VideoCodec codecOf(ExportFormat format) {
    return format == ExportFormat::mov ? media::VideoCodec::hevc : media::VideoCodec::h264;
}

media::FileType fileTypeOf(ExportFormat format) {
    return format == ExportFormat::mov ? media::FileType::mov : media::FileType::mp4;
}

// The frames the export reads of `project` over [from, to) seconds.
std::vector<media::PixelBuffer> exportedFrames(const Project& project, double from, double to) {
    const ExportComposition exported =
        CompositionBuilder(std::make_shared<NullLogger>()).buildForExport(project);
    media::CompositionReader reader(exported.composition, {.timeRange = media::MediaTimeRange{
                                                               MediaTime::fromSeconds(from),
                                                               MediaTime::fromSeconds(to - from)}});
    reader.addVideoOutput(*exported.videoComposition);
    reader.startReading();
    std::vector<media::PixelBuffer> frames;
    while (auto frame = reader.copyNextVideoFrame()) {
        frames.push_back(frame->buffer);
    }
    return frames;
}

// The largest mean absolute difference, in per cent of full scale, between a
// frame of the reference project's dissolve and the linear mix of the frames
// each clip shows alone at that time. With `effects` as exported (the frame
// compositor); without colour, preset and overlays, the layer form.
double dissolveError(const Inputs& inputs, bool effects) {
    Project project = referenceProject(inputs);
    std::vector<Track> tracks = project.tracks;
    if (!effects) {
        tracks.resize(1);
        for (Clip& clip : tracks[0].clips) {
            clip.colorAdjust.reset();
            clip.filter.reset();
        }
    }
    const Track& video = tracks[0];
    Clip alone[2] = {video.clips[0], video.clips[1]};
    alone[0].transitionOut.reset();
    alone[1].transitionIn.reset();
    // Drawn from 9 s in the dissolve, so alone it starts there.
    alone[1].timeRange.startTime = 9;
    const auto frames = exportedFrames(testing::projectOf(tracks), 9, 10);
    const auto outgoing =
        exportedFrames(testing::projectOf({testing::trackOf(TrackType::video, {alone[0]})}), 9, 10);
    const auto incoming =
        exportedFrames(testing::projectOf({testing::trackOf(TrackType::video, {alone[1]})}), 9, 10);
    double worst = 0;
    for (std::size_t n = 0; n < frames.size() && n < outgoing.size() && n < incoming.size(); ++n) {
        const double p = static_cast<double>(n) / static_cast<double>(frames.size());
        double error = 0;
        for (int y = 0; y < frames[n].height(); ++y) {
            const std::uint8_t* mixed = frames[n].row(y);
            const std::uint8_t* a = outgoing[n].row(y);
            const std::uint8_t* b = incoming[n].row(y);
            for (int x = 0; x < 4 * frames[n].width(); x += 4) {
                for (int c = 0; c < 3; ++c) {
                    error += std::abs(mixed[x + c] - ((1 - p) * a[x + c] + p * b[x + c]));
                }
            }
        }
        const double pixels = 3.0 * frames[n].width() * frames[n].height();
        worst = std::max(worst, 100 * error / pixels / 255);
    }
    return frames.size() == 30 ? worst : -1;
}

// One export of the reference project; returns the file's frame count.
std::int64_t exportReference(const Inputs& inputs, ExportFormat format) {
    auto logger = std::make_shared<NullLogger>();
    FFmpegExportService service(CompositionBuilder(logger), logger, std::chrono::system_clock::now,
                                inputs.tuning);
    const std::filesystem::path movie =
        service.exportProject(referenceProject(inputs), format, {}, {});
    const std::int64_t frames = frameCount(movie);
    std::filesystem::remove(movie);
    return frames;
}

// Decodes the sources one after the other and encodes them into one file,
// picture and sound on two threads as the export pumps them.
std::int64_t encodeFloor(const Inputs& inputs, ExportFormat format) {
    const std::filesystem::path movie =
        scratch(format == ExportFormat::mov ? "floor.mov" : "floor.mp4");
    std::filesystem::remove(movie);
    media::MovieWriter writer(movie, fileTypeOf(format), inputs.tuning);
    media::VideoWriterInput& video =
        writer.addVideoInput({.codec = codecOf(format), .width = 1920, .height = 1080});
    media::AudioWriterInput& audio = writer.addAudioInput({});
    if (!writer.startWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
    const std::vector<media::Asset> sources{media::Asset::load(inputs.first),
                                            media::Asset::load(inputs.second)};
    std::thread sound([&] {
        for (const media::Asset& source : sources) {
            media::AssetReader reader(source, *source.firstTrack(media::MediaType::audio),
                                      {.audioSampleRate = 44100, .audioChannelCount = 2});
            reader.startReading();
            while (auto samples = reader.copyNextAudioSamples()) {
                audio.append(*samples);
            }
        }
        audio.markAsFinished();
    });
    MediaTime offset;
    for (const media::Asset& source : sources) {
        media::AssetReader reader(source, *source.firstTrack(media::MediaType::video), {});
        reader.startReading();
        while (auto frame = reader.copyNextVideoFrame()) {
            video.append(frame->buffer, offset + frame->time);
        }
        offset = offset + source.duration;
    }
    video.markAsFinished();
    sound.join();
    if (!writer.finishWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
    const std::int64_t frames = frameCount(movie);
    std::filesystem::remove(movie);
    return frames;
}

// Takes the files and encoder options off the command line, leaving the
// benchmark library's own flags.
Inputs parseArguments(int& argc, char** argv) {
    Inputs inputs;
    std::vector<std::filesystem::path> files;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "--preset" || argument == "--crf") && i + 1 < argc) {
            const std::string value = argv[++i];
            if (argument == "--preset") {
                inputs.tuning.preset = value;
            } else {
                inputs.tuning.quality = std::stoi(value);
            }
        } else if (argument.rfind("--", 0) == 0) {
            argv[kept++] = argv[i];
        } else {
            files.emplace_back(argument);
        }
    }
    argc = kept;
    if (files.size() == 3) {
        inputs.first = files[0];
        inputs.second = files[1];
        inputs.image = files[2];
    } else if (!files.empty()) {
        throw std::invalid_argument("give clip A, clip B and the overlay picture, or none");
    }
    return inputs;
}

struct Measured {
    ExportFormat format;
    const char* exportName;
    const char* floorName;
};

const Measured kMeasured[] = {
    {ExportFormat::mp4, "reference_export_mp4", "encoder_floor_two_sources_back_to_back"},
    {ExportFormat::mov, "reference_export_mov_hevc", "x265_floor_two_sources_back_to_back"},
};

} // namespace

int main(int argc, char** argv) {
    av_log_set_level(AV_LOG_ERROR);
    Inputs inputs = parseArguments(argc, argv);
    const bool generated = inputs.first.empty();
    bench::RunTimesReporter reporter;
    bench::runGuiBenchmarks(argc, argv, reporter, [&] {
        if (generated) {
            std::printf("writing the sources...\n");
            std::fflush(stdout);
            inputs.first = writeSource("a.mp4", 1);
            inputs.second = writeSource("b.mp4", 77);
            inputs.image = writePicture();
        }

        // One run of each alone first, for wall time, frames and memory.
        auto once = [](const char* what, auto&& run) {
            resetPeakResident();
            const double before = statusMiB("VmRSS:");
            const auto start = std::chrono::steady_clock::now();
            const std::int64_t frames = run();
            const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
            std::printf("%s: %.2f s wall, %lld frames, peak resident memory %.0f MiB (%.0f MiB "
                        "before it began)\n",
                        what, wall.count(), static_cast<long long>(frames), statusMiB("VmHWM:"),
                        before);
            std::fflush(stdout);
        };
        std::printf("dissolve frames against the linear mix of the clips, worst mean absolute "
                    "error: %.2f %% in the frame compositor, %.2f %% in the layer form\n",
                    dissolveError(inputs, true), dissolveError(inputs, false));
        // Each run counts the frames it made. HEVC takes several times longer:
        // two repetitions of it.
        auto measure = [&inputs](const char* name, ExportFormat format, auto run) {
            benchmark::RegisterBenchmark(name,
                                         [&inputs, format, run](benchmark::State& state) {
                                             std::int64_t made = 0;
                                             for (auto _ : state) {
                                                 made = run(inputs, format);
                                             }
                                             state.counters["frames"] = static_cast<double>(made);
                                         })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->Iterations(1)
                ->Repetitions(format == ExportFormat::mov ? 2 : 3);
        };
        for (const Measured& measured : kMeasured) {
            const ExportFormat format = measured.format;
            once(measured.exportName, [&] { return exportReference(inputs, format); });
            once(measured.floorName, [&] { return encodeFloor(inputs, format); });
            measure(measured.exportName, format, exportReference);
            measure(measured.floorName, format, encodeFloor);
        }
    });
    for (const Measured& measured : kMeasured) {
        const auto [exportFastest, exportMedian] = reporter.fastestAndMedian(measured.exportName);
        const auto [floorFastest, floorMedian] = reporter.fastestAndMedian(measured.floorName);
        if (exportFastest > 0 && floorFastest > 0) {
            std::printf("%s / %s: fastest runs %.3f, medians %.3f (target <= 1.15)\n",
                        measured.exportName, measured.floorName, exportFastest / floorFastest,
                        exportMedian / floorMedian);
        }
    }
    if (generated) {
        for (const auto& path : {inputs.first, inputs.second, inputs.image}) {
            std::filesystem::remove(path);
        }
    }
    return 0;
}
