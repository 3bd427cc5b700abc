#include "support/ForeignSamples.h"

#include "support/ForeignMedia.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace vexel::testing {

namespace {

ForeignVideo video(std::string encoder, Options options = {}) {
    ForeignVideo picture;
    picture.encoder = std::move(encoder);
    picture.width = 160;
    picture.height = 120;
    picture.frameCount = 25;
    picture.options = std::move(options);
    return picture;
}

ForeignAudio audio(std::string encoder, int sampleRate = 48000) {
    ForeignAudio sound;
    sound.encoder = std::move(encoder);
    sound.sampleRate = sampleRate;
    sound.seconds = 1.0;
    return sound;
}

ForeignVideo vp9() {
    return video("libvpx-vp9", {{"deadline", "realtime"}, {"cpu-used", "8"}});
}

} // namespace

std::string sampleName(ForeignSample sample) {
    switch (sample) {
    case ForeignSample::webm:
        return "film.webm";
    case ForeignSample::matroska:
        return "film.mkv";
    case ForeignSample::flac:
        return "song.flac";
    case ForeignSample::ogg:
        return "song.ogg";
    case ForeignSample::webp:
        return "photo.webp";
    case ForeignSample::mpegTs:
        return "broadcast.ts";
    case ForeignSample::cameraTs:
        return "camera.mts";
    case ForeignSample::soundOnlyWebm:
        return "voice.webm";
    }
    return {};
}

std::string sampleName(BrokenSample sample) {
    switch (sample) {
    case BrokenSample::truncatedMp4:
        return "broken.mp4";
    case BrokenSample::empty:
        return "empty.mp4";
    case BrokenSample::textAsMp4:
        return "notes.mp4";
    }
    return {};
}

std::filesystem::path writeSample(const std::filesystem::path& folder, ForeignSample sample) {
    const std::filesystem::path path = folder / sampleName(sample);
    switch (sample) {
    case ForeignSample::webm:
        writeForeignMedia(path, {.container = "webm", .video = vp9(), .audio = audio("libopus")});
        break;
    case ForeignSample::matroska:
        writeForeignMedia(path, {.container = "matroska",
                                 .video = video("libx264", {{"preset", "ultrafast"}}),
                                 .audio = audio("aac", 44100)});
        break;
    case ForeignSample::flac:
        writeForeignMedia(path, {.container = "flac", .audio = audio("flac", 44100)});
        break;
    case ForeignSample::ogg:
        writeForeignMedia(path, {.container = "ogg", .audio = audio("libvorbis", 44100)});
        break;
    case ForeignSample::webp:
        writeForeignImage(path, "libwebp", "webp", 64, 48);
        break;
    case ForeignSample::mpegTs:
    case ForeignSample::cameraTs:
        writeForeignMedia(path, {.container = "mpegts",
                                 .video = video("libx264", {{"preset", "ultrafast"}}),
                                 .audio = audio("ac3")});
        break;
    case ForeignSample::soundOnlyWebm:
        writeForeignMedia(path, {.container = "webm", .audio = audio("libopus")});
        break;
    }
    return path;
}

std::filesystem::path writeSample(const std::filesystem::path& folder, BrokenSample sample) {
    const std::filesystem::path path = folder / sampleName(sample);
    switch (sample) {
    case BrokenSample::truncatedMp4: {
        // The MP4 muxer writes its index last: half the file has none.
        const std::filesystem::path whole = folder / "whole.mp4.part";
        writeForeignMedia(whole, {.container = "mp4",
                                  .video = video("libx264", {{"preset", "ultrafast"}}),
                                  .audio = audio("aac", 44100)});
        std::ifstream in(whole, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>()};
        in.close();
        std::filesystem::remove(whole);
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
        break;
    }
    case BrokenSample::empty:
        std::ofstream{path};
        break;
    case BrokenSample::textAsMp4:
        std::ofstream(path) << "Shopping list: milk, bread, a new camera.\n";
        break;
    }
    return path;
}

} // namespace vexel::testing
