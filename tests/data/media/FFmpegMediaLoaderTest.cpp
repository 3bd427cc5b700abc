#include "data/media/FFmpegMediaLoader.h"
#include "data/media/FFmpegMediaLoaderError.h"
#include "support/Fifo.h"
#include "support/ForeignSampleKinds.h"
#include "support/ForeignSamples.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <vector>

using vexel::FFmpegMediaLoader;
using vexel::FFmpegMediaLoaderError;
using vexel::MediaAsset;
using vexel::TrackType;
using vexel::testing::BrokenSample;
using vexel::testing::TemporaryFolder;
using vexel::testing::TestMovie;
using vexel::testing::writeTestMovie;

namespace {

FFmpegMediaLoaderError::Kind failureOf(const std::filesystem::path& url) {
    try {
        FFmpegMediaLoader().loadAsset(url);
    } catch (const FFmpegMediaLoaderError& error) {
        EXPECT_EQ(error.url(), url);
        return error.kind();
    }
    ADD_FAILURE() << "no error for " << url;
    return {};
}

std::string reasonFor(const std::filesystem::path& url) {
    try {
        FFmpegMediaLoader().loadAsset(url);
    } catch (const FFmpegMediaLoaderError& error) {
        EXPECT_EQ(error.kind(), FFmpegMediaLoaderError::Kind::cannotLoadDuration) << url;
        return error.reasonText().value_or("(no reason)");
    }
    return "(loaded)";
}

} // namespace

TEST(FFmpegMediaLoader, FilesTheTableDoesNotNameTakeTheKindTheirContentHolds) {
    TemporaryFolder folder;
    const auto& cases = vexel::testing::foreignSampleKinds();
    for (const auto& [sample, type] : cases) {
        const std::filesystem::path file = writeSample(folder.path(), sample);
        SCOPED_TRACE(file.filename().string());
        const MediaAsset asset = FFmpegMediaLoader().loadAsset(file);
        EXPECT_EQ(asset.trackType, type);
        EXPECT_EQ(asset.name, file.filename().string());
        EXPECT_GT(asset.duration, 0);
        if (type == TrackType::image) {
            EXPECT_EQ(asset.duration, FFmpegMediaLoader::stillImageDuration);
        }
    }
    // Whatever the name: sound renamed is still sound, a picture a picture.
    std::filesystem::copy_file(folder / "song.flac", folder / "take.bin");
    EXPECT_EQ(FFmpegMediaLoader().loadAsset(folder / "take.bin").trackType, TrackType::audio);
    std::filesystem::copy_file(folder / "photo.webp", folder / "photo");
    EXPECT_EQ(FFmpegMediaLoader().loadAsset(folder / "photo").trackType, TrackType::image);
}

TEST(FFmpegMediaLoader, AFileRefusedForWhatItHoldsSaysWhy) {
    TemporaryFolder folder;
    std::ofstream(folder / "notes.xyz") << "plain text, not a movie";
    std::filesystem::create_directories(folder / "folder.mov");
    const std::vector<std::pair<std::filesystem::path, std::string>> cases = {
        {writeSample(folder.path(), BrokenSample::truncatedMp4),
         "the file is damaged or unreadable"},
        {writeSample(folder.path(), BrokenSample::empty), "the file is empty"},
        {writeSample(folder.path(), BrokenSample::textAsMp4), "it is not a media file"},
        {folder / "notes.xyz", "it is not a media file"},
        {folder / "missing.mp4", "the file is missing"},
        {folder / "missing.webm", "the file is missing"},
        {folder / "folder.mov", "it is a folder, not a media file"},
    };
    for (const auto& [file, reason] : cases) {
        EXPECT_EQ(reasonFor(file), reason) << file.filename();
    }
}

TEST(FFmpegMediaLoader, ProbesMoviesAndSoundByExtension) {
    TemporaryFolder folder;
    auto movie = folder / "Holiday Clip.MP4";
    writeTestMovie(movie);
    EXPECT_EQ(FFmpegMediaLoader().loadAsset(movie),
              (MediaAsset{movie, "Holiday Clip.MP4", 2.0, TrackType::video}));

    auto sound = folder / "voice.m4a";
    writeTestMovie(sound, TestMovie{.frameCount = 45, .hasVideo = false});
    EXPECT_EQ(FFmpegMediaLoader().loadAsset(sound),
              (MediaAsset{sound, "voice.m4a", 1.5, TrackType::audio}));

    // An unknown extension is taken for video.
    auto unknown = folder / "clip.data";
    std::filesystem::copy_file(movie, unknown);
    MediaAsset asset = FFmpegMediaLoader().loadAsset(unknown);
    EXPECT_EQ(asset.trackType, TrackType::video);
    EXPECT_EQ(asset.duration, 2.0);
}

TEST(FFmpegMediaLoader, StillImagesLastFiveSecondsWithoutBeingRead) {
    TemporaryFolder folder;
    auto image = folder / "photo.PNG";
    std::ofstream(image) << "not really a picture";
    MediaAsset asset = FFmpegMediaLoader().loadAsset(image);
    EXPECT_EQ(asset, (MediaAsset{image, "photo.PNG", 5.0, TrackType::image}));
    EXPECT_EQ(failureOf(folder / "missing.png"), FFmpegMediaLoaderError::Kind::fileNotFound);
    EXPECT_EQ(failureOf(""), FFmpegMediaLoaderError::Kind::fileNotFound);
}

TEST(FFmpegMediaLoader, UnreadableMoviesAndSoundFailToLoadTheirDuration) {
    TemporaryFolder folder;
    using Kind = FFmpegMediaLoaderError::Kind;
    // A missing movie is a duration failure, not a missing file.
    EXPECT_EQ(failureOf(folder / "missing.mp4"), Kind::cannotLoadDuration);
    std::ofstream(folder / "empty.mov");
    EXPECT_EQ(failureOf(folder / "empty.mov"), Kind::cannotLoadDuration);
    std::ofstream(folder / "notes.xyz") << "plain text, not a movie";
    EXPECT_EQ(failureOf(folder / "notes.xyz"), Kind::cannotLoadDuration);
    std::ofstream(folder / "noise.wav") << std::string(4096, '\x55');
    EXPECT_EQ(failureOf(folder / "noise.wav"), Kind::cannotLoadDuration);
    try {
        FFmpegMediaLoader().loadAsset(folder / "missing.mp4");
    } catch (const FFmpegMediaLoaderError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "cannotLoadDuration(\"" + (folder / "missing.mp4").string() + "\")");
    }
}

TEST(FFmpegMediaLoader, AnythingButARegularFileIsRefusedWithoutBeingOpened) {
    // Opening a pipe waits for a writer that never comes, and a device never
    // ends: the assistant's add_clip of either held the edit engine for ever.
    TemporaryFolder folder;
    using Kind = FFmpegMediaLoaderError::Kind;
    vexel::test::Fifo movie(folder / "pipe.mp4");
    vexel::test::Fifo sound(folder / "pipe.m4a");
    vexel::test::Fifo picture(folder / "pipe.png");
    vexel::test::Fifo linked(folder / "elsewhere" / "pipe");
    std::filesystem::create_symlink(linked.path(), folder / "link.mov");
    std::filesystem::create_symlink("/dev/zero", folder / "zero.mp4");
    std::filesystem::create_directories(folder / "folder.mov");
    std::filesystem::create_directories(folder / "folder.jpg");
    const std::vector<std::pair<std::filesystem::path, Kind>> cases = {
        {movie.path(), Kind::cannotLoadDuration},
        {sound.path(), Kind::cannotLoadDuration},
        {picture.path(), Kind::fileNotFound},
        {folder / "link.mov", Kind::cannotLoadDuration},
        {folder / "zero.mp4", Kind::cannotLoadDuration},
        {folder / "folder.mov", Kind::cannotLoadDuration},
        {folder / "folder.jpg", Kind::fileNotFound}};
    for (const auto& [path, kind] : cases) {
        EXPECT_EQ(failureOf(path), kind) << path;
    }
    for (const vexel::test::Fifo* fifo : {&movie, &sound, &picture, &linked}) {
        EXPECT_FALSE(fifo->openedToRead()) << fifo->path();
    }
}

TEST(FFmpegMediaLoader, AddressesThatAreNotLocalPathsAreNoFile) {
    // FFmpeg would fetch or decode each of these as the protocol it names.
    for (const char* address :
         {"https://example.com/v.mp4", "http://127.0.0.1:9/clip.mov", "ftp://host/sound.m4a",
          "https://example.com/photo.png", "file:///tmp/clip.mp4", "data:video/mp4;base64,AAAA",
          "pipe:0", "concat:a.mp4|b.mp4", "HTTPS://EXAMPLE.COM/V.MP4"}) {
        EXPECT_EQ(failureOf(address), FFmpegMediaLoaderError::Kind::fileNotFound) << address;
    }
    // A folder whose name holds "://" is still a folder.
    TemporaryFolder folder;
    std::filesystem::create_directories(folder / "odd:" / "name");
    const std::filesystem::path movie = folder.path().string() + "/odd://name/clip.mp4";
    writeTestMovie(folder / "odd:" / "name" / "clip.mp4");
    EXPECT_EQ(FFmpegMediaLoader().loadAsset(movie).duration, 2.0);
}

TEST(FFmpegMediaLoader, ServesCallersOnManyThreadsAtOnce) {
    TemporaryFolder folder;
    auto movie = folder / "clip.mov";
    writeTestMovie(movie, TestMovie{.frameCount = 15, .hasAudio = false});
    const FFmpegMediaLoader loader;
    std::vector<std::future<MediaAsset>> results;
    for (int i = 0; i < 6; ++i) {
        results.push_back(std::async(std::launch::async, [&] { return loader.loadAsset(movie); }));
    }
    for (auto& result : results) {
        EXPECT_EQ(result.get().duration, 0.5);
    }
}
