#include "presentation/viewmodels/TimelineDropHandler.h"

#include "data/media/FFmpegMediaLoader.h"
#include "data/media/FileStager.h"
#include "presentation/support/TimelinePanelHarness.h"
#include "support/ClipPlayback.h"
#include "support/ForeignSampleKinds.h"
#include "support/ForeignSamples.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"
#include "support/media/WavWriter.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QThreadPool>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::BrokenSample;
using vexel::testing::ScopedEnvironment;
using vexel::testing::showsItsPicture;
using vexel::testing::soundsAloud;
using vexel::testing::TemporaryFolder;

namespace {

// The panel over the real engine, probing with FFmpeg and staging into a
// folder of the test's own, with the handler the window gives it.
struct DropTarget {
    DropTarget()
        : screen(Project::makeNew(), true, QSize(900, 320), std::make_shared<FFmpegMediaLoader>()) {
        std::filesystem::create_directory(runtimeFolder);
        screen.panel->setDropHandler(&handler);
        QObject::connect(&screen.timeline(), &TimelineViewModel::importingCountChanged,
                         [this] { counts.push_back(screen.timeline().importingCount()); });
    }

    // Drops `urls` on the panel as the window system would; whether the
    // panel took them.
    bool drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(screen.panel, &enter);
        QDropEvent event(QPointF(300, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        event.setAccepted(false);
        QApplication::sendEvent(screen.panel, &event);
        return event.isAccepted();
    }

    bool awaitImports() {
        return vexel::testing::runEventsUntil(
            [&] { return screen.timeline().importingCount() == 0; });
    }

    QUrl file(const std::string& name) const {
        return QUrl::fromLocalFile(QString::fromStdString((folder / name).string()));
    }
    void writeText(const std::string& name) const { std::ofstream(folder / name) << "notes"; }
    void writeSound(const std::string& name) const {
        const std::vector<std::int16_t> tone(4410, 1000);
        vexel::testing::writeWav(folder / name, 44100, 1, tone);
    }

    std::vector<std::string> messages() {
        std::vector<std::string> result;
        for (const AppError& error : screen.banner().errorHistory()) {
            EXPECT_EQ(error.category, ErrorCategory::fileImport) << error.message;
            result.push_back(error.message);
        }
        return result;
    }

    std::vector<std::string> clipNames() {
        std::vector<std::string> names;
        for (const Track& track : screen.timeline().project().tracks) {
            for (const Clip& clip : track.clips) {
                names.push_back(clip.assetName);
            }
        }
        return names;
    }

    TemporaryFolder folder;
    std::filesystem::path runtimeFolder = folder / "runtime";
    ScopedEnvironment runtime{"XDG_RUNTIME_DIR", runtimeFolder.string()};
    test::TimelinePanelHarness screen;
    QThreadPool pool;
    TimelineDropHandler handler{std::make_shared<FileStager>(),
                                std::make_shared<FFmpegMediaLoader>(),
                                screen.timeline(),
                                screen.conversation.logger,
                                &pool,
                                screen.conversation.time};
    std::vector<int> counts;
};

TEST(TimelineDropHandlerTest, AddsTheMediaAndNamesWhatItCouldNotUseOnce) {
    DropTarget target;
    vexel::testing::writeTestMovie(target.folder / "movie.mp4", {.frameCount = 10});
    QList<QUrl> urls{target.file("movie.mp4")};
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) {
        target.writeText(name);
        urls.push_back(target.file(name));
    }
    // The notes' names tell nothing: they are counted while their content
    // is looked at, then the movie alone is imported.
    ASSERT_TRUE(target.drop(urls));
    EXPECT_EQ(target.screen.timeline().importingCount(), 5);
    ASSERT_TRUE(target.awaitImports());
    EXPECT_EQ(target.messages(),
              std::vector<std::string>{"Unsupported format: a.txt, b.txt, c.txt and 2 more. "
                                       "Supported: mp4, mov, mp3, wav, jpg, png, etc."});
    EXPECT_EQ(target.clipNames(), std::vector<std::string>{"movie.mp4"});
    EXPECT_EQ(target.screen.timeline().project().videoClips().size(), 1u);
    EXPECT_EQ(target.counts, (std::vector<int>{5, 1, 0}));

    // Nothing usable: one message alone, nothing imported.
    target.screen.banner().clearHistory();
    target.counts.clear();
    ASSERT_TRUE(target.drop({target.file("a.txt"), target.file("b.txt")}));
    ASSERT_TRUE(target.awaitImports());
    EXPECT_EQ(target.messages(), std::vector<std::string>{"No supported file types in drop"});
    EXPECT_EQ(target.counts, (std::vector<int>{2, 0}));

    // Only drags that carry addresses are taken, and only with a handler.
    QMimeData words;
    words.setText(QStringLiteral("hello"));
    QMimeData files;
    files.setUrls({target.file("movie.mp4")});
    for (const auto& [data, taken] : {std::pair(&words, false), std::pair(&files, true)}) {
        QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, data, Qt::LeftButton,
                              Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(target.screen.panel, &enter);
        EXPECT_EQ(enter.isAccepted(), taken);
    }
    target.screen.panel->setDropHandler(nullptr);
    EXPECT_FALSE(target.drop({target.file("movie.mp4")}));
}

TEST(TimelineDropHandlerTest, EachFileThatFailsIsNamedAndEndsItsImport) {
    DropTarget target;
    const std::string longName = std::string(76, 'n') + ".wav";
    const std::string longNotes = std::string(76, 'm') + ".txt";
    target.writeSound(longName);
    target.writeSound("voice.wav");
    target.writeText(longNotes);
    ASSERT_TRUE(target.drop({target.file(longName), target.file("gone.wav"),
                             QUrl(QStringLiteral("https://example.com/media/clip.mp4")),
                             target.file(longNotes), target.file("voice.wav")}));
    // The notes first, while their content is looked at.
    EXPECT_EQ(target.screen.timeline().importingCount(), 1);
    ASSERT_TRUE(target.awaitImports());

    std::vector<std::string> messages = target.messages();
    std::sort(messages.begin() + 1, messages.end());
    EXPECT_EQ(messages,
              (std::vector<std::string>{"Unsupported format: " + std::string(50, 'm') +
                                            ". Supported: mp4, mov, mp3, wav, jpg, png, etc.",
                                        "Failed to add gone.wav: the file is missing",
                                        "Failed to load clip.mp4"}));
    std::vector<std::string> names = target.clipNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{longName, "voice.wav"}));
    // The notes counted while looked at, then the four imports, each ended.
    EXPECT_EQ(target.counts.front(), 1);
    EXPECT_EQ(target.counts[1], 4);
    EXPECT_EQ(target.counts.back(), 0);
    EXPECT_EQ(target.counts.size(), 6u);
    const auto& logger = *target.screen.conversation.logger;
    EXPECT_EQ(logger.countStartingWith("[Drop] staging failed"), 1u);
    EXPECT_EQ(logger.countStartingWith("[Drop] loadFileRepresentation failed"), 1u);
    EXPECT_EQ(logger.countStartingWith("[Drop] addClip failed"), 0u);

    // A file the engine cannot read fails at its addition.
    target.screen.banner().clearHistory();
    target.writeText("broken.mp3");
    ASSERT_TRUE(target.drop({target.file("broken.mp3")}));
    ASSERT_TRUE(target.awaitImports());
    EXPECT_EQ(target.messages(),
              std::vector<std::string>{"Failed to add broken.mp3: it is not a media file"});
    EXPECT_EQ(logger.countStartingWith("[Drop] addClip failed"), 1u);
}

TEST(TimelineDropHandlerTest, FilesOfOtherProgramsBecomeClipsOfWhatTheyHoldAndBrokenOnesSayWhy) {
    DropTarget target;
    const auto& samples = vexel::testing::foreignSampleKinds();
    QList<QUrl> urls;
    for (const auto& [sample, type] : samples) {
        urls.push_back(target.file(writeSample(target.folder.path(), sample).filename().string()));
    }
    for (const BrokenSample broken :
         {BrokenSample::truncatedMp4, BrokenSample::empty, BrokenSample::textAsMp4}) {
        urls.push_back(target.file(writeSample(target.folder.path(), broken).filename().string()));
    }
    ASSERT_TRUE(target.drop(urls));
    ASSERT_TRUE(target.awaitImports());

    std::vector<std::string> messages = target.messages();
    std::sort(messages.begin(), messages.end());
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "Failed to add broken.mp4: the file is damaged or unreadable",
                            "Failed to add empty.mp4: the file is empty",
                            "Failed to add notes.mp4: it is not a media file"}));
    const Project project = target.screen.timeline().project();
    std::map<std::string, Clip> clips;
    for (const Track& track : project.tracks) {
        for (const Clip& clip : track.clips) {
            EXPECT_EQ(clip.trackType, track.type) << clip.assetName;
            clips.emplace(clip.assetName, clip);
        }
    }
    ASSERT_EQ(clips.size(), samples.size());
    for (const auto& [sample, type] : samples) {
        const std::string name = vexel::testing::sampleName(sample);
        SCOPED_TRACE(name);
        ASSERT_EQ(clips.count(name), 1u);
        const Clip& clip = clips.at(name);
        EXPECT_EQ(clip.trackType, type);
        // Every sample holds a second: Matroska names no stream's length, a
        // transport stream begins late, and neither may change the clip's.
        if (type != TrackType::image) {
            EXPECT_NEAR(clip.timeRange.duration, 1.0, 0.05);
        }
        if (type == TrackType::audio) {
            EXPECT_TRUE(soundsAloud(project, clip));
        } else {
            EXPECT_TRUE(showsItsPicture(project, clip));
        }
    }
}

TEST(TimelineDropHandlerTest, KindsComeFromTheExtensionThenTheMediaTypeOfTheName) {
    struct Case {
        const char* url;
        std::optional<TrackType> type;
    };
    const std::vector<Case> cases{
        {"file:///m/Clip.MOV", TrackType::video},        {"file:///m/song.m4a", TrackType::audio},
        {"file:///m/photo.jpeg", TrackType::image},      {"file:///m/film.webm", TrackType::video},
        {"file:///m/song.flac", TrackType::audio},       {"file:///m/logo.bmp", TrackType::image},
        {"file:///m/notes.txt", std::nullopt},           {"file:///m/README", std::nullopt},
        {"https://example.com/a.mp4", TrackType::video},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimelineDropHandler::detectTrackType(QUrl(QString::fromUtf8(c.url))), c.type)
            << c.url;
    }
    EXPECT_EQ(TimelineDropHandler::skippedFilesMessage({}), std::nullopt);
    EXPECT_EQ(TimelineDropHandler::skippedFilesMessage({"a", "b", "c"}),
              "Unsupported format: a, b, c. Supported: mp4, mov, mp3, wav, jpg, png, etc.");
}

} // namespace
