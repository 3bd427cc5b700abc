// Exports through the use case, the in-memory repository, the real
// composition builder and compositor, the composition reader and the movie
// writer, on clips the tests write, and reads the files back.

#include "data/export/FFmpegExportService.h"
#include "data/composition/CompositionBuilder.h"
#include "data/composition/TestProjects.h"
#include "data/export/ExportFileName.h"
#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/entities/EditError.h"
#include "domain/entities/ExportError.h"
#include "domain/usecases/ExportUseCase.h"
#include "foundation/CancellationError.h"
#include "platform/media/Asset.h"
#include "platform/media/AssetReader.h"
#include "support/FileContents.h"
#include "support/FileSizeLimit.h"
#include "support/RecordingLogger.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <map>
#include <mutex>
#include <regex>
#include <thread>

using namespace vexel;
using media::Asset;
using media::AssetReader;
using media::MediaTime;
using media::MediaType;
using vexel::testing::clipOf;
using vexel::testing::projectOf;
using vexel::testing::trackOf;
using Phase = ExportProgress::Phase;
using vexel::test::namesIn;
using vexel::test::readFile;
using vexel::testing::FileSizeLimit;

namespace {

// 2026-03-04T05:06:07Z.
const std::chrono::system_clock::time_point kNow =
    std::chrono::system_clock::from_time_t(1772600767);

// Every report with the thread it came from.
class ProgressLog {
public:
    ExportProgressHandler handler() {
        return [this](const ExportProgress& progress) {
            std::lock_guard lock(mutex_);
            reports_.emplace_back(progress, std::this_thread::get_id());
            if (onReport_) {
                onReport_(progress);
            }
        };
    }
    void onReport(std::function<void(const ExportProgress&)> action) {
        onReport_ = std::move(action);
    }

    std::vector<ExportProgress> reports() const {
        std::lock_guard lock(mutex_);
        std::vector<ExportProgress> out;
        for (const auto& report : reports_) {
            out.push_back(report.first);
        }
        return out;
    }
    // The transfer fractions after (transferring, 0), by reporting thread.
    std::map<std::thread::id, std::vector<double>> fractionsByThread() const {
        std::lock_guard lock(mutex_);
        std::map<std::thread::id, std::vector<double>> out;
        for (std::size_t i = 2; i < reports_.size(); ++i) {
            if (reports_[i].first.phase == Phase::transferring) {
                out[reports_[i].second].push_back(reports_[i].first.fraction);
            }
        }
        return out;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<ExportProgress, std::thread::id>> reports_;
    std::function<void(const ExportProgress&)> onReport_;
};

class FFmpegExportServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        media = new vexel::testing::TemporaryFolder();
        // 2 s of 320x240 at 30 frames per second with a 440 Hz tone.
        vexel::testing::writeTestMovie(*media / "clip.mp4");
        vexel::testing::writeTestMovie(*media / "silent.mp4", {.hasAudio = false});
    }
    static void TearDownTestSuite() {
        delete media;
        media = nullptr;
    }

    static inline vexel::testing::TemporaryFolder* media = nullptr;

    vexel::testing::TemporaryFolder runtime;
    vexel::testing::ScopedEnvironment xdg{"XDG_CACHE_HOME", runtime.path().string()};
    std::shared_ptr<test::RecordingLogger> logger = std::make_shared<test::RecordingLogger>();
    std::shared_ptr<AssetCache> assets = std::make_shared<AssetCache>();
    std::shared_ptr<FFmpegExportService> service = std::make_shared<FFmpegExportService>(
        CompositionBuilder(logger, assets), logger, [] { return kNow; });

    std::filesystem::path exports() const { return runtime / "vexel" / "com.vexel.exports"; }

    ExportResult exportProject(const Project& project, ExportFormat format, ProgressLog& progress,
                               std::stop_token stop = {}) {
        auto repository = std::make_shared<InMemoryProjectRepository>(project);
        return ExportUseCase(repository, service).execute(format, progress.handler(), stop);
    }

    static Project oneClip(const std::filesystem::path& file, double duration = 2) {
        return projectOf(
            {trackOf(TrackType::video, {clipOf(TrackType::video, 0, duration, file)})});
    }
};

} // namespace

TEST_F(FFmpegExportServiceTest, MovOfAClipWithSoundIsHevcAndAacWithPhasedProgress) {
    const Project project = oneClip(*media / "clip.mp4");
    ProgressLog progress;
    const ExportResult result = exportProject(project, ExportFormat::mov, progress);

    EXPECT_EQ(result.project, project);
    EXPECT_EQ(result.outputURL, exports() / "VexelExport_2026-03-04T05-06-07Z.mov");
    const Asset asset = Asset::load(result.outputURL);
    ASSERT_EQ(asset.tracks.size(), 2u);
    const media::AssetTrack& video = asset.tracks[0];
    EXPECT_EQ(video.mediaType, MediaType::video);
    EXPECT_EQ(video.codecName, "hevc");
    EXPECT_EQ(video.codecTag, "hvc1");
    EXPECT_EQ(video.naturalSize, (media::Size{320, 240}));
    const media::AssetTrack& audio = asset.tracks[1];
    EXPECT_EQ(audio.codecName, "aac");
    EXPECT_EQ(audio.sampleRate, 44100);
    EXPECT_EQ(audio.channelCount, 2);
    EXPECT_NEAR(asset.duration.seconds(), 2.0, 0.05);

    const auto reports = progress.reports();
    ASSERT_GE(reports.size(), 4u);
    EXPECT_EQ(reports[0], (ExportProgress{Phase::preparing, 0}));
    EXPECT_EQ(reports[1], (ExportProgress{Phase::transferring, 0}));
    EXPECT_EQ(reports[reports.size() - 2], (ExportProgress{Phase::finalizing, 0}));
    EXPECT_EQ(reports.back(), (ExportProgress{Phase::finalizing, 1}));
    // One pump for the picture within 0...0.7, one for the sound within 0.7...1.
    const auto byThread = progress.fractionsByThread();
    ASSERT_EQ(byThread.size(), 2u);
    std::vector<double> videoFractions = byThread.begin()->second;
    std::vector<double> audioFractions = std::next(byThread.begin())->second;
    if (videoFractions.front() > audioFractions.front()) {
        std::swap(videoFractions, audioFractions);
    }
    for (double f : videoFractions) {
        EXPECT_TRUE(0 <= f && f <= 0.7) << f;
    }
    for (double f : audioFractions) {
        EXPECT_TRUE(0.7 <= f && f <= 1) << f;
    }
    EXPECT_TRUE(std::is_sorted(videoFractions.begin(), videoFractions.end()));
    EXPECT_GT(videoFractions.back(), 0.65);

    // A second export in the same second takes the next free name and leaves
    // the first, still waiting to be saved, as it was.
    const std::string firstBytes = readFile(result.outputURL);
    ProgressLog again;
    const ExportResult second = exportProject(project, ExportFormat::mov, again);
    EXPECT_EQ(second.outputURL, exports() / "VexelExport_2026-03-04T05-06-07Z-1.mov");
    EXPECT_EQ(readFile(result.outputURL), firstBytes);
    EXPECT_EQ(namesIn(exports()),
              (std::vector<std::string>{"VexelExport_2026-03-04T05-06-07Z-1.mov",
                                        "VexelExport_2026-03-04T05-06-07Z.mov"}));
    EXPECT_TRUE(logger->entries().empty());
}

TEST_F(FFmpegExportServiceTest, TextOnlyProjectIsWhiteTextOnBlackAt1080p) {
    Clip title = clipOf(TrackType::text, 0, 6);
    title.assetName = "HELLO";
    ProgressLog progress;
    const ExportResult result =
        exportProject(projectOf({trackOf(TrackType::text, {title})}), ExportFormat::mp4, progress);

    EXPECT_EQ(result.outputURL.filename(), "VexelExport_2026-03-04T05-06-07Z.mp4");
    const Asset asset = Asset::load(result.outputURL);
    ASSERT_EQ(asset.tracks.size(), 1u);
    const media::AssetTrack& video = asset.tracks[0];
    EXPECT_EQ(video.codecName, "h264");
    EXPECT_EQ(video.naturalSize, (media::Size{1920, 1080}));
    EXPECT_NEAR(asset.duration.seconds(), 6.0, 0.1);

    AssetReader reader(asset, video,
                       {.timeRange = media::MediaTimeRange{MediaTime(3, 1), MediaTime(1, 30)}});
    ASSERT_TRUE(reader.startReading());
    const auto frame = reader.copyNextVideoFrame();
    ASSERT_TRUE(frame);
    int white = 0;
    int lit = 0;
    for (int y = 0; y < 1080; y += 2) {
        for (int x = 0; x < 1920; x += 2) {
            const std::uint8_t* p = frame->buffer.row(y) + 4 * x;
            const bool bright = p[0] > 200 && p[1] > 200 && p[2] > 200;
            if (p[0] + p[1] + p[2] > 60) {
                ++lit;
                // Anything visible lies in the bottom centre.
                EXPECT_TRUE(y > 800 && x > 600 && x < 1320) << x << "," << y;
            }
            white += bright ? 1 : 0;
        }
    }
    EXPECT_GT(white, 200);
    EXPECT_LT(lit, white * 3);
}

TEST_F(FFmpegExportServiceTest, CancellingMidExportLeavesNoFileAndIsNoExportError) {
    std::stop_source stop;
    ProgressLog progress;
    progress.onReport([&](const ExportProgress& report) {
        if (report.phase == Phase::transferring && report.fraction > 0.2 && report.fraction < 0.7) {
            stop.request_stop();
        }
    });
    EXPECT_THROW(
        exportProject(oneClip(*media / "clip.mp4"), ExportFormat::mp4, progress, stop.get_token()),
        CancellationError);
    EXPECT_TRUE(stop.stop_requested());
    EXPECT_TRUE(namesIn(exports()).empty());
    for (const ExportProgress& report : progress.reports()) {
        EXPECT_NE(report.phase, Phase::finalizing);
    }
    EXPECT_TRUE(logger->entries().empty());
}

TEST_F(FFmpegExportServiceTest, AReaderFailingMidwayIsReportedOnceBothTracksEnd) {
    // The second clip's file is damaged after it was probed: same size, same
    // time stamp, so the kept probe is used and reading fails when the
    // export reaches it.
    const std::filesystem::path damaged = runtime / "damaged.mp4";
    std::filesystem::copy_file(*media / "silent.mp4", damaged);
    assets->load(damaged);
    struct stat before {};
    ASSERT_EQ(::stat(damaged.c_str(), &before), 0);
    {
        std::fstream file(damaged, std::ios::in | std::ios::out | std::ios::binary);
        const std::string zeros(static_cast<std::size_t>(before.st_size), '\0');
        file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    }
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, damaged.c_str(), times, 0), 0);

    const Project project =
        projectOf({trackOf(TrackType::video, {clipOf(TrackType::video, 0, 1, *media / "clip.mp4"),
                                              clipOf(TrackType::video, 1, 1, damaged)})});
    ProgressLog progress;
    try {
        exportProject(project, ExportFormat::mp4, progress);
        FAIL() << "expected readerFailed";
    } catch (const ExportError& error) {
        EXPECT_EQ(error, ExportError::readerFailed(3));
        EXPECT_STREQ(error.what(), "readerFailed(status: 3)");
    }
    EXPECT_EQ(logger->messages(),
              (std::vector<std::string>{"[Export] AVAssetReader failed: status=3"}));
    EXPECT_EQ(logger->entries().at(0).first, LogLevel::error);
    EXPECT_TRUE(namesIn(exports()).empty());
    // The reader opens the next source ahead of its time, so the failure may
    // show before any frame of the first clip is written; it never finalises.
    EXPECT_NE(progress.reports().back().phase, Phase::finalizing);
}

TEST_F(FFmpegExportServiceTest, AClipsMediaGoneBeforeOrWhileItIsReadFailsNamingTheClip) {
    // Gone as the export starts, or once reading is under way (the reader
    // opens a source two seconds before it is due, well after the start
    // here): never a movie without the clip.
    for (const Phase goneAt : {Phase::preparing, Phase::transferring}) {
        SCOPED_TRACE(goneAt == Phase::preparing ? "gone at the start" : "gone while reading");
        const std::filesystem::path doomed = runtime / "doomed.mp4";
        std::filesystem::copy_file(*media / "silent.mp4", doomed,
                                   std::filesystem::copy_options::overwrite_existing);
        Clip gone = clipOf(TrackType::video, 4, 1, doomed);
        gone.assetName = "doomed.mp4";
        const Project project = projectOf({trackOf(
            TrackType::video, {clipOf(TrackType::video, 0, 2, *media / "clip.mp4"), gone})});
        ProgressLog progress;
        progress.onReport([&](const ExportProgress& report) {
            if (report.phase == goneAt && report.fraction == 0) {
                std::filesystem::remove(doomed);
            }
        });
        try {
            exportProject(project, ExportFormat::mp4, progress);
            FAIL() << "expected mediaUnavailable";
        } catch (const ExportError& error) {
            EXPECT_EQ(error, ExportError::mediaUnavailable(
                                 {{gone.id, "doomed.mp4", UnavailableMedia::Reason::missing}}));
            EXPECT_STREQ(error.what(), "mediaUnavailable(\"doomed.mp4\")");
        }
        EXPECT_EQ(logger->messages().back(), "[Export] Media of 1 clip(s) cannot be read");
        EXPECT_TRUE(!std::filesystem::exists(exports()) || namesIn(exports()).empty());
        EXPECT_NE(progress.reports().back().phase, Phase::finalizing);
    }
}

TEST_F(FFmpegExportServiceTest, AFullDiskFailsTheWriterAndRemovesOnlyItsOwnFile) {
    // An earlier export waits in the folder to be saved.
    ProgressLog first;
    const auto earlier =
        exportProject(oneClip(*media / "clip.mp4", 0.5), ExportFormat::mp4, first).outputURL;
    const std::string earlierBytes = readFile(earlier);

    ProgressLog progress;
    try {
        FileSizeLimit limit(4096);
        exportProject(oneClip(*media / "clip.mp4"), ExportFormat::mp4, progress);
        FAIL() << "expected writerFailed";
    } catch (const ExportError& error) {
        EXPECT_EQ(error.kind(), ExportError::Kind::writerFailed);
        EXPECT_NE(error.detail().find("File too large"), std::string::npos) << error.detail();
    }
    EXPECT_EQ(namesIn(exports()), (std::vector<std::string>{earlier.filename().string()}));
    EXPECT_EQ(readFile(earlier), earlierBytes);
    ASSERT_EQ(logger->messages().size(), 1u);
    EXPECT_EQ(logger->messages()[0].rfind("[Export] AVAssetWriter failed: ", 0), 0u)
        << logger->messages()[0];
}

TEST_F(FFmpegExportServiceTest, EmptyProjectsSoundOnlyAndSilentProjects) {
    ProgressLog none;
    try {
        exportProject(Project::makeNew(), ExportFormat::mp4, none);
        FAIL() << "expected emptyProject";
    } catch (const EditError& error) {
        EXPECT_EQ(error.kind(), EditError::Kind::emptyProject);
    }
    EXPECT_TRUE(none.reports().empty());
    EXPECT_FALSE(std::filesystem::exists(exports()));

    // Sound alone: one AAC track in the chosen container.
    ProgressLog sound;
    const auto soundOnly =
        exportProject(projectOf({trackOf(TrackType::audio,
                                         {clipOf(TrackType::audio, 0, 1, *media / "clip.mp4")})}),
                      ExportFormat::mov, sound);
    Asset asset = Asset::load(soundOnly.outputURL);
    EXPECT_EQ(soundOnly.outputURL.extension(), ".mov");
    ASSERT_EQ(asset.tracks.size(), 1u);
    EXPECT_EQ(asset.tracks[0].codecName, "aac");
    EXPECT_NEAR(asset.duration.seconds(), 1.0, 0.05);

    // A clip without sound: a picture track only.
    ProgressLog picture;
    const auto silent =
        exportProject(oneClip(*media / "silent.mp4", 1), ExportFormat::mp4, picture);
    asset = Asset::load(silent.outputURL);
    ASSERT_EQ(asset.tracks.size(), 1u);
    EXPECT_EQ(asset.tracks[0].codecName, "h264");
    for (const auto& [thread, fractions] : picture.fractionsByThread()) {
        for (double f : fractions) {
            EXPECT_LE(f, 0.7);
        }
    }
}

TEST(FFmpegExportServiceFolder, FolderNamesAndSettings) {
    vexel::testing::TemporaryFolder runtime;
    vexel::testing::ScopedEnvironment xdg{"XDG_CACHE_HOME", runtime.path().string()};
    const auto folder = FFmpegExportService::exportDirectory();
    EXPECT_EQ(folder, runtime / "vexel" / "com.vexel.exports");
    EXPECT_NO_THROW(FFmpegExportService::cleanExportDirectory());
    std::filesystem::create_directories(folder / "left");
    std::ofstream(folder / "left" / "VexelExport_old.mp4") << "x";
    FFmpegExportService::cleanExportDirectory();
    EXPECT_FALSE(std::filesystem::exists(folder));

    // Names within one second are the same; a taken one gets the next number.
    const std::string name =
        exportFileName(kNow + std::chrono::milliseconds(999), ExportFormat::mp4);
    EXPECT_EQ(name, "VexelExport_2026-03-04T05-06-07Z.mp4");
    std::vector<std::string> reserved;
    for (int i = 0; i < 3; ++i) {
        reserved.push_back(reserveUniqueFile(runtime.path(), name).filename().string());
    }
    EXPECT_EQ(reserved, (std::vector<std::string>{"VexelExport_2026-03-04T05-06-07Z.mp4",
                                                  "VexelExport_2026-03-04T05-06-07Z-1.mp4",
                                                  "VexelExport_2026-03-04T05-06-07Z-2.mp4"}));
    EXPECT_THROW(reserveUniqueFile(runtime / "missing", name), std::filesystem::filesystem_error);
    EXPECT_STREQ(ExportError::writerFailed("disk \"full\"").what(),
                 R"(writerFailed(detail: "disk \"full\""))");
    EXPECT_NE(ExportError::writerFailed("a"), ExportError::exportFailed("a"));

    EXPECT_EQ(
        FFmpegExportService::videoSettings(ExportFormat::mov, {1280.9, 720.2}),
        (media::VideoSettings{.codec = media::VideoCodec::hevc, .width = 1280, .height = 720}));
    EXPECT_EQ(FFmpegExportService::audioSettings(), (media::AudioSettings{44100, 2}));
}
