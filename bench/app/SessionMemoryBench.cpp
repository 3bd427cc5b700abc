// The editor's resident memory over a working session, in the application as
// main() builds it (window, preview and player included, offscreen):
// - a long session: two 1080p clips dissolving into each other, graded, with
//   a 12-megapixel photo and a title over them; 500 edits of the title (its
//   words, size, colour and place in turn), each followed by the preview's
//   rebuild, a look at another moment and a few seconds' rest (on the
//   editor's clock), then 60 undos the same way;
// - a large project: a project folder of 15,000 clips (video and sound of a
//   1080p clip, photos, captions) opened as a user opens one, until the
//   window and the preview have shown it, then 20 edits of a caption, with
//   the same rests.
//
// Each runs in a process of its own, so that neither inherits the other's
// heap. Beside the resident size and the peak, each reports what the heap
// holds in use and free, and what is left once the allocator has handed its
// free memory back (malloc_trim): memory in use told from memory merely kept.
//
// Usage: bench_session_memory [session|large [edits]] (no mode: both, in turn).

#include "app/AppController.h"
#include "app/AppEnvironment.h"
#include "app/ApplicationIdentity.h"
#include "data/persistence/PersistenceSamples.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "domain/entities/EditCommand.h"
#include "domain/entities/Project.h"
#include "foundation/Logger.h"
#include "media/BusyFrames.h"
#include "platform/media/MovieWriter.h"
#include "platform/playback/SilentAudioSink.h"
#include "presentation/support/ManualTime.h"
#include "presentation/viewmodels/EditorGraph.h"
#include "presentation/views/kit/DialogService.h"
#include "support/BenchProjects.h"
#include "support/InMemorySecretStore.h"
#include "support/ResidentMemory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vexel;

namespace {

constexpr int kUndos = 60;
constexpr int kLargeClips = 15000;
// The longest a step may take before the run is given up as stuck.
constexpr qint64 kStepLimitMs = 120000;

using bench::statusMegabytes;

// Nothing is asked of the user in these runs: any alert is cancelled.
class NoDialogs final : public DialogService {
public:
    QCoro::Task<int> alert(AlertRequest request) override {
        std::fprintf(stderr, "unexpected alert: %s\n", request.message.toStdString().c_str());
        for (std::size_t index = 0; index < request.buttons.size(); ++index) {
            if (request.buttons[index].role == AlertButtonRole::cancel) {
                co_return static_cast<int>(index);
            }
        }
        co_return -1;
    }
    QCoro::Task<std::vector<std::filesystem::path>> filePanel(FilePanelRequest) override {
        co_return std::vector<std::filesystem::path>{};
    }
    void openUrl(const QUrl&) override {}
};

// Handles events until `done` holds; throws when it takes far too long.
template <typename Done> void runUntil(Done done, const char* what) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (elapsed.elapsed() > kStepLimitMs) {
            throw std::runtime_error(std::string("stuck: ") + what);
        }
    }
}

void settle() {
    for (int round = 0; round < 20; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// The application over folders of its own, its time in the run's hand.
struct Editor {
    explicit Editor(const std::filesystem::path& root,
                    std::optional<std::filesystem::path> folder = std::nullopt) {
        ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
        AppEnvironment environment;
        environment.logger = std::make_shared<NullLogger>();
        environment.secretStore = std::make_shared<vexel::testing::InMemorySecretStore>();
        const QString settingsFile = QString::fromStdString((root / "settings.ini").string());
        environment.openUserDefaults = [settingsFile] {
            auto settings = std::make_unique<QSettings>(settingsFile, QSettings::IniFormat);
            settings->setValue("hasCompletedOnboarding", true);
            return settings;
        };
        environment.autoSaveDirectory = root / "autosave";
        environment.environment = [](const std::string&) { return std::optional<std::string>(); };
        environment.clock = time;
        environment.sleep = time->sleepAction();
        environment.makePlayer = [] {
            auto clock = std::make_shared<playback::SteadyMonotonicClock>();
            return std::make_unique<playback::Player>(
                clock, std::make_unique<playback::SilentAudioSink>(clock));
        };
        environment.infoDictionary = AppEnvironment::buildInfoDictionary();
        app = std::make_unique<AppController>(std::move(environment), std::move(folder),
                                              std::make_unique<NoDialogs>(), [] {});
        app->window().resize(1440, 900);
        app->start();
        runUntil([this] { return app->startup() && app->startup()->isFinished(); }, "start-up");
        settle();
    }

    EditorGraph& graph() const { return *app->editorGraph(); }

    // Lets the editor rest a few seconds, as a user does between edits, and
    // waits for what it does once rested.
    void rest() {
        for (int step = 0; step < 20; ++step) {
            time->advance(std::chrono::milliseconds(250));
            settle();
        }
        HeapTrimmer* trimmer = app->heapTrimmer();
        runUntil(
            [&] { return !trimmer->pendingRelease() || trimmer->pendingRelease()->isFinished(); },
            "the editor at rest");
    }

    // Lets the preview's rebuild pause pass and waits for the rebuilt
    // preview's first frame on screen.
    void awaitPreview() {
        settle();
        PreviewViewModel& preview = graph().previewViewModel();
        bool framed = false;
        const QMetaObject::Connection connection = QObject::connect(
            &preview.player(), &playback::Player::videoFrameChanged, [&] { framed = true; });
        time->advance(std::chrono::milliseconds(250));
        runUntil(
            [&] {
                const std::optional<TaskHandle>& loading = preview.loadingTask();
                return loading && loading->isFinished() && (framed || !preview.hasContent());
            },
            "preview rebuild");
        QObject::disconnect(connection);
        settle();
    }

    // Moves the playhead as a click on the ruler does and waits for the frame
    // there.
    void seek(double seconds) {
        PreviewViewModel& preview = graph().previewViewModel();
        if (!preview.hasContent()) {
            return;
        }
        bool framed = false;
        const QMetaObject::Connection connection = QObject::connect(
            &preview.player(), &playback::Player::videoFrameChanged, [&] { framed = true; });
        preview.seek(seconds);
        runUntil([&] { return framed; }, "a seek");
        QObject::disconnect(connection);
        settle();
    }

    template <typename Task> void await(Task task, const char* what) {
        bool finished = false;
        std::exception_ptr failure;
        auto run = [](Task task, bool* finished, std::exception_ptr* failure) -> QCoro::Task<void> {
            try {
                co_await std::move(task);
            } catch (...) {
                *failure = std::current_exception();
            }
            *finished = true;
        };
        auto running = run(std::move(task), &finished, &failure);
        runUntil([&] { return finished; }, what);
        if (failure) {
            std::rethrow_exception(failure);
        }
    }

    std::shared_ptr<vexel::test::ManualTime> time = std::make_shared<vexel::test::ManualTime>();
    std::unique_ptr<AppController> app;
};

// A 1080p clip of `frameCount` frames with detail everywhere, and its sound.
void writeClip(const std::filesystem::path& path, int frameCount, int seed) {
    static const std::vector<media::PixelBuffer> frames = bench::busyFrames(30, 6);
    media::MovieWriter writer(path, media::FileType::mp4);
    media::VideoWriterInput& video = writer.addVideoInput({.width = 1920, .height = 1080});
    media::AudioWriterInput& audio = writer.addAudioInput({});
    if (!writer.startWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
    for (int i = 0; i < frameCount; ++i) {
        video.append(frames[static_cast<std::size_t>((i + seed) % 30)], media::MediaTime(i, 30));
    }
    video.markAsFinished();
    const std::int64_t total = std::int64_t{frameCount} * 44100 / 30;
    for (std::int64_t start = 0; start < total; start += 1024) {
        media::AudioSamples samples;
        samples.time = media::MediaTime(start, 44100);
        samples.sampleRate = 44100;
        samples.channelCount = 2;
        for (std::int64_t i = start; i < std::min(total, start + 1024); ++i) {
            const auto value = static_cast<std::int16_t>(
                std::lround(8000 * std::sin(2 * std::numbers::pi * 440.0 * double(i) / 44100)));
            samples.samples.insert(samples.samples.end(), {value, value});
        }
        audio.append(samples);
    }
    audio.markAsFinished();
    if (!writer.finishWriting()) {
        throw std::runtime_error(writer.error()->message());
    }
}

void writePhoto(const std::filesystem::path& path, int width, int height) {
    QImage photo(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < width; ++x) {
            row[x] = qRgb((x / 7) & 0xFF, (y / 5) & 0xFF, ((x + y) / 11) & 0xFF);
        }
    }
    if (!photo.save(QString::fromStdString(path.string()), "JPEG", 90)) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

// The resident memory and its peak, what of it the heap holds in use, and
// what is left once the allocator has handed back all the free heap it can
// (malloc_trim): memory in use told from memory merely kept.
void reportMemory(const char* what) {
    settle();
    const double resident = statusMegabytes("VmRSS");
    const double peak = statusMegabytes("VmHWM");
    const struct mallinfo2 heap = ::mallinfo2();
    QElapsedTimer trimming;
    trimming.start();
    ::malloc_trim(0);
    const double trimMs = static_cast<double>(trimming.nsecsElapsed()) / 1e6;
    const double trimmed = statusMegabytes("VmRSS");
    constexpr double mebibyte = 1 << 20;
    std::printf("%s: resident %.0f MiB, peak %.0f MiB, heap in use %.0f MiB; %.0f MiB once the "
                "free heap is handed back (in %.0f ms)\n",
                what, resident, peak, double(heap.uordblks + heap.hblkhd) / mebibyte, trimmed,
                trimMs);
    std::fflush(stdout);
}

// Two 1080p clips, the first graded and dissolving into the second in
// sepia, a 12-megapixel photo over them and a title over it all.
Project sessionProject(const std::filesystem::path& assets) {
    writeClip(assets / "a.mp4", 165, 0);
    writeClip(assets / "b.mp4", 165, 7);
    writePhoto(assets / "photo.jpg", 4000, 3000);
    Clip first = vexel::testing::mediaClip(assets / "a.mp4", TrackType::video, 0, 5.5);
    first.colorAdjust = ColorAdjust{0.05, 1.2, 1.3};
    first.transitionOut = TransitionEffect{1, TransitionType::crossDissolve(), EasingCurve::linear};
    Clip second = vexel::testing::mediaClip(assets / "b.mp4", TrackType::video, 5.5, 5.5);
    second.filter = FilterPreset{"sepia", 0.8};
    Clip photo = vexel::testing::mediaClip(assets / "photo.jpg", TrackType::image, 2, 6);
    photo.overlayTransform = OverlayTransform{0.7, 0.3, 0.4};
    Clip title;
    title.id = Uuid::random();
    title.assetName = "Title";
    title.trackType = TrackType::text;
    title.timeRange = {0, 11};
    title.volume = 0;
    title.textStyle = TextStyle{};
    Project project = Project::makeNew();
    project.tracks.insert(
        project.tracks.begin(),
        {Track{Uuid::random(), TrackType::video, "Video 1", {first, second}, false},
         Track{Uuid::random(), TrackType::image, "Image 1", {photo}, false},
         Track{Uuid::random(), TrackType::text, "Text 1", {title}, false}});
    return project;
}

int runSession(const std::filesystem::path& root, int edits) {
    const std::filesystem::path folder = root / "Session";
    const std::filesystem::path assets = folder / ProjectPersistenceService::assetsFolderName;
    std::filesystem::create_directories(assets);
    const Project project = sessionProject(assets);
    ProjectPersistenceService().save(project, folder);
    const Uuid titleId = project.tracks[2].clips[0].id;
    ::malloc_trim(0);

    Editor editor(root, folder);
    TimelineViewModel& timeline = editor.graph().timelineViewModel();
    editor.awaitPreview();
    editor.rest();
    std::printf("resident with the project shown: %.0f MiB\n", statusMegabytes("VmRSS"));

    // After each change the user looks at it somewhere along the 10 s.
    int looks = 0;
    const auto look = [&] {
        editor.awaitPreview();
        editor.seek(std::fmod(0.37 * ++looks, 10.5));
        editor.rest();
    };
    const char* colours[] = {"white", "yellow", "red", "orange", "blue"};
    for (int n = 1; n <= edits; ++n) {
        EditCommand::EditText edit;
        edit.textId = titleId;
        switch (n % 4) {
        case 0:
            edit.text = "Title number " + std::to_string(n) + " of the long session";
            break;
        case 1:
            edit.style = TextStyle{};
            edit.style->fontSize = 36 + n % 40;
            break;
        case 2:
            edit.style = TextStyle{};
            edit.style->textColor = colours[n % 5];
            edit.style->strokeWidth = n % 3;
            break;
        default:
            edit.position = TextPosition::custom(0.2 + (n % 7) * 0.1, 0.3 + (n % 5) * 0.1);
            break;
        }
        editor.await(timeline.executeCommand(edit), "an edit");
        look();
        if (n % 100 == 0) {
            std::printf("  after %d edits: resident %.0f MiB\n", n, statusMegabytes("VmRSS"));
            std::fflush(stdout);
        }
    }
    // The history keeps the last 50 steps: the undos past them change nothing.
    for (int n = 0; n < kUndos; ++n) {
        const bool undoes = timeline.canUndo();
        timeline.undo();
        if (undoes) {
            look();
        }
    }
    reportMemory(
        ("after " + std::to_string(edits) + " edits and " + std::to_string(kUndos) + " undos")
            .c_str());
    return 0;
}

int runLarge(const std::filesystem::path& root, int edits) {
    const std::filesystem::path folder = root / "Large project";
    const std::filesystem::path assets = folder / ProjectPersistenceService::assetsFolderName;
    std::filesystem::create_directories(assets);
    writeClip(assets / "clip.mp4", 300, 0);
    writePhoto(assets / "photo.jpg", 1920, 1280);
    // One-second clips: 3000 a lane fit the project's hour.
    ProjectPersistenceService().save(
        bench::benchProject(kLargeClips, 1.0,
                            bench::BenchMedia{assets / "clip.mp4", assets / "photo.jpg"}),
        folder);
    std::printf("a project file of %d clips, %.1f MB\n", kLargeClips,
                static_cast<double>(std::filesystem::file_size(
                    folder / ProjectPersistenceService::projectFileName)) /
                    1e6);
    ::malloc_trim(0);
    std::printf("resident before opening it: %.0f MiB\n", statusMegabytes("VmRSS"));

    QElapsedTimer elapsed;
    elapsed.start();
    Editor editor(root, folder);
    TimelineViewModel& timeline = editor.graph().timelineViewModel();
    std::size_t clips = 0;
    std::optional<Uuid> caption;
    for (const Track& track : timeline.project().tracks) {
        clips += track.clips.size();
        for (const Clip& clip : track.clips) {
            if (clip.trackType == TrackType::text) {
                caption = clip.id;
            }
        }
    }
    if (clips != kLargeClips || !caption) {
        std::printf("the project did not open: %zu clips in the editor\n", clips);
        return 1;
    }
    editor.awaitPreview();
    std::printf("opened and shown in %.1f s\n", static_cast<double>(elapsed.elapsed()) / 1000);
    editor.rest();
    reportMemory("with the 15,000-clip project open");

    // Each edit keeps a snapshot of the whole project for its undo.
    elapsed.restart();
    for (int n = 1; n <= edits; ++n) {
        EditCommand::EditText edit;
        edit.textId = *caption;
        edit.text = "Caption edited " + std::to_string(n) + " times";
        editor.await(timeline.executeCommand(edit), "an edit");
        editor.awaitPreview();
        editor.rest();
    }
    std::printf("%d edits in %.1f s\n", edits, static_cast<double>(elapsed.elapsed()) / 1000);
    reportMemory(("after " + std::to_string(edits) + " edits of it").c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The mode, then how many edits it makes (500 in the session, 20 in the
    // large project, unless given).
    std::optional<std::string> mode;
    std::optional<int> edits;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) == 0) {
            continue;
        }
        if (mode) {
            edits = std::atoi(argv[i]);
        } else {
            mode = argv[i];
        }
    }
    if (!mode) {
        const int session = bench::runAgainWith("session");
        const int large = bench::runAgainWith("large");
        return session != 0 ? session : large;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    setUpApplication(application);
    QTemporaryDir scratch;
    const std::filesystem::path root(scratch.path().toStdString());
    try {
        if (*mode == "session") {
            return runSession(root, edits.value_or(500));
        }
        if (*mode == "large") {
            return runLarge(root, edits.value_or(20));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "usage: %s [session|large [edits]]\n", argv[0]);
    return 2;
}
