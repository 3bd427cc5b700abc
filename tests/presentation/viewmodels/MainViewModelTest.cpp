#include "presentation/viewmodels/MainViewModel.h"

#include "data/media/FFmpegMediaLoader.h"
#include "data/media/FileStager.h"
#include "data/persistence/FileAutoSaveService.h"
#include "data/persistence/PersistenceSamples.h"
#include "data/persistence/ProjectFile.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/usecases/DefaultHandlers.h"
#include "infrastructure/security/KeychainAESEncryption.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/GatedEdit.h"
#include "presentation/support/ManualTime.h"
#include "support/FakeExportService.h"
#include "support/Fifo.h"
#include "support/FileContents.h"
#include "support/FileSizeLimit.h"
#include "support/InMemorySecretStore.h"
#include "support/RecordingLogger.h"
#include "support/RunEventsUntil.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <future>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace vexel;
using namespace vexel::test;
using namespace std::chrono_literals;
using vexel::testing::FakeExportService;
using vexel::testing::InMemorySecretStore;
using vexel::testing::ScopedEnvironment;
using vexel::testing::TemporaryFolder;

namespace {

constexpr std::chrono::duration<double> debounce{0.05};

EditCommand addText(double at) {
    EditCommand::AddText add;
    add.text = "Title";
    add.at = at;
    add.duration = 1;
    return add;
}

QUrl fileUrl(const std::filesystem::path& file) {
    return QUrl::fromLocalFile(QFile::decodeName(file.c_str()));
}

std::vector<std::string> messages(const std::vector<AppError>& errors) {
    std::vector<std::string> result;
    for (const AppError& error : errors) {
        result.push_back(error.message);
    }
    return result;
}

// The real auto-save, recording what it was asked to write; its first write can
// be held on its thread until the test lets it go.
class RecordingAutoSave final : public AutoSaveService {
public:
    explicit RecordingAutoSave(std::shared_ptr<const AutoSaveService> real)
        : real_(std::move(real)) {}

    void save(const Project& project) const override {
        if (holdFirstWrite && saved_.empty()) {
            firstWriteStarted.set_value();
            firstWriteReleased.wait();
        }
        saved_.push_back(project);
        real_->save(project);
    }
    Project load() const override { return real_->load(); }
    void remove() const override { real_->remove(); }
    bool exists() const override { return real_->exists(); }

    // Read on the GUI thread once the writes have ended.
    const std::vector<Project>& saved() const { return saved_; }

    bool holdFirstWrite = false;
    mutable std::promise<void> firstWriteStarted;
    std::promise<void> releaseFirstWrite;
    std::shared_future<void> firstWriteReleased = releaseFirstWrite.get_future().share();

private:
    std::shared_ptr<const AutoSaveService> real_;
    mutable std::vector<Project> saved_;
};

// One window's document stack over the real parts: project folders, the
// encrypted auto-save under a key of an in-memory secret store, the edit engine
// with FFmpeg's probing, staging and the repository, wired as the application
// wires them. Several stacks may share the folders, as two runs of the
// application do.
struct Document {
    Document(const std::filesystem::path& root, std::shared_ptr<InMemorySecretStore> secrets,
             ManualTime& time, std::shared_ptr<RecordingLogger> logger,
             std::chrono::duration<double> autoSaveDebounce = debounce)
        : autoSave(std::make_shared<RecordingAutoSave>(std::make_shared<FileAutoSaveService>(
              root / "autosave", std::make_shared<KeychainAESEncryption>(
                                     "com.vexel.app.autosave-key", "aes-key", secrets))))
        , banner(logger, time.sleepAction())
        , timeline(repository->load(), banner,
                   WrappedEditCommandExecutor(std::make_shared<DefaultEditCommandExecutor>(
                       gate.engine(repository, std::make_shared<FFmpegMediaLoader>()))))
        , settings(QFile::decodeName((root / "settings.ini").c_str()), QSettings::IniFormat)
        , main(timeline, std::make_shared<FileStager>(), std::make_shared<FFmpegMediaLoader>(),
               autoSave, storage(),
               {[this] { resets.push_back("instructions"); },
                [this] { resets.push_back("tutorial"); }},
               settings, logger, std::shared_ptr<const Clock>(std::shared_ptr<void>(), &time),
               time.sleepAction(), autoSaveDebounce) {
        timeline.setOnProjectSync([this](const Project& project) {
            repository->save(project);
            main.setIsDirty(true);
            main.scheduleAutoSave(project);
        });
    }

    // The real storage, whose save waits at `saveGate` (when set) after writing.
    DocumentStorage storage() {
        DocumentStorage real =
            DocumentStorage::over(std::make_shared<ProjectPersistenceService>(), repository);
        real.save =
            [this, save = real.save](
                std::filesystem::path folder,
                std::optional<std::filesystem::path> sourceFolder) -> QCoro::Task<MediaRelocation> {
            MediaRelocation relocation = co_await save(std::move(folder), std::move(sourceFolder));
            if (const std::shared_ptr<PendingWait> gate = saveGate) {
                co_await PendingWait::wait(gate);
            }
            co_return relocation;
        };
        return real;
    }

    void edit(EditCommand command) { awaitTask(timeline.executeCommand(std::move(command))); }

    // Lets the debounce pass and waits for the write it starts.
    void passDebounce(ManualTime& time, std::chrono::seconds patience = std::chrono::seconds(20)) {
        settle(); // the scheduled task starts from the event loop
        time.advance(debounce);
        ASSERT_TRUE(main.autoSaveTask());
        awaitTask(main.autoSaveTask()->finished(), patience);
    }

    std::shared_ptr<InMemoryProjectRepository> repository =
        std::make_shared<InMemoryProjectRepository>(Project::makeNew());
    std::shared_ptr<RecordingAutoSave> autoSave;
    ErrorBannerViewModel banner;
    EditGate gate;
    TimelineViewModel timeline;
    QSettings settings;
    std::vector<std::string> resets;
    std::shared_ptr<PendingWait> saveGate;
    MainViewModel main;
};

struct MainViewModelTest : ::testing::Test {
    // Tasks started last (a banner's dismissal, an auto-save) begin from the
    // event loop and take their first wait from `time`: they must have run,
    // and seen that they were cancelled, while it still exists.
    ~MainViewModelTest() override {
        document.reset();
        settle();
    }

    TemporaryFolder root;
    // Staged copies go to a folder of the test's own.
    ScopedEnvironment cacheHome{"XDG_CACHE_HOME", root.path().string()};
    ManualTime time;
    std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
    std::shared_ptr<InMemorySecretStore> secrets = std::make_shared<InMemorySecretStore>();
    std::unique_ptr<Document> document =
        std::make_unique<Document>(root.path(), secrets, time, logger);
    MainViewModel& main = document->main;
    TimelineViewModel& timeline = document->timeline;
};

} // namespace

TEST_F(MainViewModelTest, ABurstOfEditsIsAutoSavedOnceAndRecoveredByTheNextRun) {
    for (int n = 0; n < 10; ++n) {
        document->edit(addText(n));
        settle();
        time.advance(debounce / 4);
    }
    EXPECT_TRUE(main.isDirty());
    EXPECT_TRUE(document->autoSave->saved().empty());
    EXPECT_EQ(time.requestedDelays().back(), debounce.count());

    document->passDebounce(time);
    ASSERT_EQ(document->autoSave->saved().size(), 1u);
    EXPECT_EQ(document->autoSave->saved().back(), timeline.project());
    const Project edited = timeline.project();

    // The next run finds the auto-save and recovers the project, which stays
    // dirty and has no folder.
    Document next(root.path(), secrets, time, logger);
    ASSERT_TRUE(next.autoSave->exists());
    next.timeline.setProject(next.autoSave->load());
    EXPECT_EQ(next.timeline.project(), edited);
    EXPECT_EQ(next.repository->load(), edited);
    EXPECT_TRUE(next.main.isDirty());
    EXPECT_FALSE(next.main.currentProjectURL());

    // Saving writes the folder and removes the auto-save; a third run opens
    // the folder and gets the same project, clean and with its folder.
    const std::filesystem::path folder = root / "My Film";
    awaitTask(next.main.saveTo(folder));
    EXPECT_FALSE(next.main.isDirty());
    EXPECT_FALSE(next.autoSave->exists());
    EXPECT_EQ(next.main.savingCount(), 0);

    Document third(root.path(), secrets, time, logger);
    third.edit(addText(50));
    awaitTask(third.main.loadProject(folder));
    EXPECT_EQ(third.timeline.project(), edited);
    EXPECT_EQ(third.main.currentProjectURL(), folder);
    EXPECT_FALSE(third.main.isDirty());
    EXPECT_FALSE(third.timeline.canUndo());
    EXPECT_EQ(third.resets, (std::vector<std::string>{"instructions", "tutorial"}));
    EXPECT_TRUE(logger->messages().empty());
}

TEST_F(MainViewModelTest, AutoSaveFailuresAreShownOnceAMinuteAndAgainAfterASuccess) {
    const auto failingEdit = [&](double at) {
        document->edit(addText(at));
        document->passDebounce(time);
    };
    const auto breakKeyStore = [&](bool broken) {
        secrets->failFinds = broken; // the auto-save key can neither be read
        secrets->failAdds = broken;  // nor made
    };
    breakKeyStore(true);
    failingEdit(0);
    time.advance(30s);
    failingEdit(1);
    EXPECT_EQ(messages(document->banner.errorHistory()),
              std::vector<std::string>{"Auto-save failed. Your changes may not be saved."});
    time.advance(40s); // 70 s after the first failure
    failingEdit(2);
    EXPECT_EQ(document->banner.errorHistory().size(), 2u);
    EXPECT_EQ(logger->countStartingWith("[AutoSave] Failed to auto-save"), 3u);

    // A success resets the throttle: the next failure is shown at once.
    breakKeyStore(false);
    failingEdit(3);
    EXPECT_EQ(document->banner.errorHistory().size(), 2u);
    breakKeyStore(true);
    failingEdit(4);
    EXPECT_EQ(document->banner.errorHistory().size(), 3u);
    const AppError& shown = document->banner.errorHistory().back();
    EXPECT_EQ(shown.category, ErrorCategory::fileImport);
    EXPECT_EQ(shown.timestamp, time.now());

    // The flush at quit reports through the same throttle.
    awaitTask(main.flushAutoSave());
    EXPECT_EQ(logger->countStartingWith("[AutoSave] flush failed"), 1u);
    EXPECT_EQ(document->banner.errorHistory().size(), 3u);
}

TEST_F(MainViewModelTest, OpeningADamagedOrMissingProjectKeepsTheCurrentOne) {
    const std::filesystem::path saved = root / "saved";
    awaitTask(main.saveTo(saved));
    document->edit(addText(0));
    const Project current = timeline.project();

    // The banner says which folder and why.
    const std::filesystem::path damaged = root / "damaged";
    writeFile(damaged / "project.json", "{ this is not a project");
    const std::filesystem::path newer = root / "Trip.vexel";
    writeFile(newer / "project.json",
              R"({"version": 2, "project": {"tracks": [], "maxDuration": 3600}})");
    awaitTask(main.loadProject(damaged));
    awaitTask(main.loadProject(root / "nowhere/"));
    awaitTask(main.loadProject(newer));

    EXPECT_EQ(messages(document->banner.errorHistory()),
              (std::vector<std::string>{
                  "Failed to open project \u201Cdamaged\u201D: Invalid project file format",
                  "Failed to open project \u201Cnowhere\u201D: \u201Cproject.json\u201D is missing "
                  "or cannot be read",
                  "Failed to open project \u201CTrip.vexel\u201D: Unsupported project file version "
                  "2"}));
    EXPECT_EQ(logger->messages(),
              (std::vector<std::string>{
                  "[Load] load failed: PersistenceError \u2014 decodingFailed(\"Invalid project "
                  "file format\")",
                  "[Load] load failed: PersistenceError \u2014 fileNotFound(\"project.json\")",
                  "[Load] load failed: PersistenceError \u2014 decodingFailed(\"Unsupported "
                  "project file version 2\")"}));
    EXPECT_EQ(timeline.project(), current);
    EXPECT_EQ(document->repository->load(), current);
    EXPECT_EQ(main.currentProjectURL(), saved);
    EXPECT_TRUE(main.isDirty());
    EXPECT_TRUE(timeline.canUndo());
    EXPECT_TRUE(document->resets.empty());
}

TEST_F(MainViewModelTest, AFailedSaveAsLeavesThePlaceAndTheDocumentWhereTheyWereAndSaysWhy) {
    QSignalSpy asked(&main, &MainViewModel::showSaveDialogChanged);
    document->edit(addText(0));
    awaitTask(main.saveProject());
    EXPECT_TRUE(main.showSaveDialog());
    EXPECT_EQ(asked.count(), 1);
    EXPECT_TRUE(main.isDirty());

    // A folder inside a file cannot be made: the document stays without one.
    writeFile(root / "a file", "");
    awaitTask(main.saveTo(root / "a file" / "project"));
    EXPECT_FALSE(main.currentProjectURL());
    EXPECT_TRUE(main.isDirty());
    EXPECT_EQ(main.savingCount(), 0);

    // Saved, then given two clips whose media go: one gone, one a pipe.
    const std::filesystem::path film = root / "Film.vexel";
    awaitTask(main.saveTo(film));
    EXPECT_EQ(main.currentProjectURL(), film);
    vexel::testing::TestMovie movie;
    movie.frameCount = 30;
    for (const char* name : {"beach.mp4", "city.mp4"}) {
        std::filesystem::create_directories(root / "media");
        vexel::testing::writeTestMovie(root / "media" / name, movie);
        awaitTask(main.addFiles({fileUrl(root / "media" / name)}));
    }
    const std::vector<Clip> added = timeline.project().videoClips();
    ASSERT_EQ(added.size(), 2u);
    std::filesystem::remove(*added[0].assetURL);
    std::filesystem::remove(*added[1].assetURL);
    Fifo pipe(*added[1].assetURL);

    // Save As, into a folder to be made and into an empty one: each stays as
    // it was, the document stays where it is, and the banner says why.
    const std::string saved = readFile(film / "project.json");
    std::filesystem::create_directories(root / "Empty");
    for (const std::filesystem::path& chosen : {root / "Copy.vexel", root / "Empty"}) {
        awaitTask(main.saveTo(chosen));
        EXPECT_EQ(main.currentProjectURL(), film);
    }
    EXPECT_FALSE(std::filesystem::exists(root / "Copy.vexel"));
    EXPECT_TRUE(namesIn(root / "Empty").empty());
    // Save goes where the document is, and is refused for the same clips.
    awaitTask(main.saveProject());
    EXPECT_EQ(readFile(film / "project.json"), saved);
    EXPECT_TRUE(main.isDirty());
    EXPECT_FALSE(pipe.openedToRead());

    const std::string clips = ": cannot copy the media of 2 clips: \u201Cbeach.mp4\u201D, "
                              "\u201Ccity.mp4\u201D";
    EXPECT_EQ(messages(document->banner.errorHistory()),
              (std::vector<std::string>{
                  "Failed to save project \u201Cproject\u201D: cannot create the folder: a file "
                  "stands where a folder is needed",
                  "Failed to save project \u201CCopy.vexel\u201D" + clips,
                  "Failed to save project \u201CEmpty\u201D" + clips,
                  "Failed to save project \u201CFilm.vexel\u201D" + clips}));
    EXPECT_EQ(
        document->banner.errorHistory().back().detail,
        "\u201Cbeach.mp4\u201D: the file is missing\n\u201Ccity.mp4\u201D: not a regular file");
    EXPECT_EQ(logger->messages(), std::vector<std::string>(4, "[Save] save failed"));

    // Without those clips it saves there, and Save As then moves it.
    timeline.undo();
    timeline.undo();
    awaitTask(main.saveProject());
    EXPECT_FALSE(main.isDirty());
    EXPECT_EQ(ProjectPersistenceService().load(film), timeline.project());
    awaitTask(main.saveTo(root / "Copy.vexel"));
    EXPECT_EQ(main.currentProjectURL(), root / "Copy.vexel");
    EXPECT_EQ(main.savingCount(), 0);
    EXPECT_EQ(document->banner.errorHistory().size(), 4u);
}

// A Save As that the disk cannot hold names the clip's file as the timeline
// does, not by the staged copy's name the user has never seen, and leaves
// nothing at the chosen place.
TEST_F(MainViewModelTest, ASaveAsTheDiskCannotHoldNamesTheClipAsTheUserKnowsIt) {
    vexel::testing::TestMovie movie;
    movie.frameCount = 30;
    std::filesystem::create_directories(root / "media");
    vexel::testing::writeTestMovie(root / "media" / "keep.mp4", movie);
    awaitTask(main.addFiles({fileUrl(root / "media" / "keep.mp4")}));
    const std::vector<Clip> added = timeline.project().videoClips();
    ASSERT_EQ(added.size(), 1u);
    ASSERT_NE(added[0].assetURL->filename(), "keep.mp4");

    {
        const vexel::testing::FileSizeLimit full(std::filesystem::file_size(*added[0].assetURL) /
                                                 2);
        awaitTask(main.saveTo(root / "Copy"));
    }

    EXPECT_EQ(
        messages(document->banner.errorHistory()),
        std::vector<std::string>{"Failed to save project \u201CCopy\u201D: cannot copy "
                                 "\u201Ckeep.mp4\u201D: the file is too large for that disk"});
    EXPECT_FALSE(main.currentProjectURL());
    EXPECT_TRUE(main.isDirty());
    for (const std::string& name : namesIn(root.path())) {
        EXPECT_EQ(name.find("Copy"), std::string::npos) << name;
    }
}

// A save makes the pending auto-save needless: written after it, it would put
// saved work on disk to be offered for recovery.
TEST_F(MainViewModelTest, ASaveDropsThePendingAutoSaveAndTheNextEditStartsOne) {
    document->edit(addText(0));
    ASSERT_TRUE(main.autoSaveTask());
    awaitTask(main.saveTo(root / "film"));
    settle();
    time.advance(debounce);
    settle();
    EXPECT_TRUE(document->autoSave->saved().empty());
    EXPECT_FALSE(document->autoSave->exists());

    document->edit(addText(5));
    document->passDebounce(time);
    ASSERT_EQ(document->autoSave->saved().size(), 1u);
    EXPECT_EQ(document->autoSave->load(), timeline.project());
}

TEST_F(MainViewModelTest, AChangeMadeWhileASaveRunsKeepsTheDocumentDirty) {
    // The folder is written but the save has not come back when the user
    // edits: the edit is not in the folder, so the document stays dirty and
    // the auto-save that the edit scheduled stays for a crash.
    document->edit(addText(0));
    document->saveGate = std::make_shared<PendingWait>();
    QCoro::Task<void> saving = main.saveTo(root / "film");
    settle();
    document->edit(addText(5));
    document->passDebounce(time);
    document->saveGate->wake();
    awaitTask(std::move(saving));

    EXPECT_TRUE(main.isDirty());
    EXPECT_TRUE(document->autoSave->exists());
    EXPECT_EQ(document->autoSave->load(), timeline.project());
    EXPECT_EQ(main.savingCount(), 0);

    // The next save, with no change during it, makes the document clean.
    document->saveGate.reset();
    awaitTask(main.saveProject());
    EXPECT_FALSE(main.isDirty());
    EXPECT_FALSE(document->autoSave->exists());
}

// Edits 3 s and 2 s apart never leave the 5 s of quiet the auto-save waits
// for; each must still be on disk, as the next run reads it, within 15 s.
TEST_F(MainViewModelTest, SteadyEditingReachesTheAutoSaveWithinFifteenSeconds) {
    Document steady(root / "steady", secrets, time, logger, MainViewModel::defaultAutoSaveDebounce);
    struct Edit {
        std::chrono::duration<double> madeAt;
        Project project;
    };
    std::vector<Edit> edits;
    std::chrono::duration<double> now{0};
    for (int n = 0; now < 90s; ++n) {
        steady.edit(addText(n));
        settle();
        edits.push_back({now, steady.timeline.project()});
        const std::chrono::duration<double> step = n % 2 == 0 ? 3s : 2s;
        time.advance(step);
        now += step;
        if (time.pendingSleeps() == 0) { // the wait is over: the write has begun
            awaitTask(steady.main.autoSaveTask()->finished());
        }

        const auto due = std::find_if(edits.rbegin(), edits.rend(),
                                      [&](const Edit& edit) { return now - edit.madeAt >= 15s; });
        if (due == edits.rend()) {
            continue;
        }
        ASSERT_TRUE(steady.autoSave->exists())
            << "nothing auto-saved after " << now.count() << " s";
        const Project onDisk = steady.autoSave->load();
        const auto written = std::find_if(edits.begin(), edits.end(),
                                          [&](const Edit& edit) { return edit.project == onDisk; });
        ASSERT_NE(written, edits.end());
        EXPECT_GE(written - edits.begin(), edits.rend() - due - 1)
            << "an edit of " << due->madeAt.count() << " s was not on disk at " << now.count()
            << " s";
    }
    // A change never waits longer than the debounce, and once the edits stop
    // the quiet wait writes the last one.
    for (double delay : time.requestedDelays()) {
        EXPECT_LE(delay, MainViewModel::defaultAutoSaveDebounce.count());
    }
    time.advance(MainViewModel::defaultAutoSaveDebounce);
    awaitTask(steady.main.autoSaveTask()->finished());
    EXPECT_EQ(steady.autoSave->load(), steady.timeline.project());
    EXPECT_TRUE(logger->messages().empty());
}

// Some 40 MB of project file, over the 32 MiB that writing once allowed.
TEST_F(MainViewModelTest, ALargeProjectIsSavedAndOpenedAgainAndOneTooLargeIsRefusedWithItsSize) {
    // Some 34 MiB a copy, written, encrypted and read several times: under the
    // sanitizers one step takes longer than the usual patience.
    constexpr std::chrono::seconds patience(180);
    const std::filesystem::path folder = root / "Long Film";
    writeFile(folder / "assets" / "take.mov", "frames");
    Project large = Project::makeNew();
    Track video{Uuid::random(), TrackType::video, "Video 1", {}, false};
    for (int n = 0; n < 1000; ++n) {
        Clip clip = vexel::testing::richClip(folder / "assets" / "take.mov");
        clip.assetName = "Take " + std::to_string(n) + std::string(34000, '.');
        clip.timeRange = {static_cast<double>(n), 1};
        video.clips.push_back(std::move(clip));
    }
    large.tracks.insert(large.tracks.begin(), std::move(video));
    timeline.setProject(large);
    document->passDebounce(time, patience);
    {
        Document recovering(root.path(), secrets, time, logger);
        awaitTask(recovering.main.recoverAutoSave(), patience);
        EXPECT_EQ(recovering.timeline.project(), large);
        EXPECT_TRUE(recovering.banner.errorHistory().empty());
    }
    awaitTask(main.saveTo(folder), patience);
    EXPECT_GT(std::filesystem::file_size(folder / "project.json"), std::size_t{32} << 20);
    EXPECT_FALSE(main.isDirty());
    {
        Document next(root.path(), secrets, time, logger);
        awaitTask(next.main.loadProject(folder), patience);
        EXPECT_EQ(next.timeline.project(), large);
        EXPECT_TRUE(next.banner.errorHistory().empty());
    }
    settle();
    EXPECT_TRUE(document->banner.errorHistory().empty());

    // A project whose file would pass what is read is refused, saying how
    // large it is, and the files written before stay as they were.
    const std::string savedFile = readFile(folder / "project.json");
    Project tooLarge = Project::makeNew();
    tooLarge.tracks.push_back(Track{Uuid::random(),
                                    TrackType::text,
                                    "Text 1",
                                    {vexel::testing::textClip(std::string(65 << 20, 'a'))},
                                    false});
    timeline.setProject(tooLarge);
    awaitTask(main.saveProject(), patience);
    document->passDebounce(time, patience);
    const std::vector<AppError>& shown = document->banner.errorHistory();
    ASSERT_EQ(shown.size(), 2u);
    const std::string size =
        "the project is too large to save (65.1 MiB; at most 64 MiB can be saved)";
    EXPECT_EQ(shown[0].message, "Failed to save project \u201CLong Film\u201D: " + size);
    EXPECT_EQ(shown[1].message, "Auto-save failed. Your changes may not be saved.");
    EXPECT_EQ(shown[1].detail, "T" + size.substr(1) + ".");
    EXPECT_TRUE(main.isDirty());
    EXPECT_TRUE(readFile(folder / "project.json") == savedFile);
    EXPECT_EQ(ProjectPersistenceService().load(folder), large);
    EXPECT_FALSE(document->autoSave->exists()); // removed by the save, and none written since
}

// A project grown just past what is opened (20,000 titles of 3,000 letters,
// 67 MiB) is refused with its size and the limit, not as a broken file; a
// file as large that is no project still says so, and neither is read whole.
TEST_F(MainViewModelTest, AProjectTooLargeToOpenIsRefusedWithItsSizeNotAsBroken) {
    const std::filesystem::path large = root / "Long Film";
    {
        Track titles{Uuid::random(), TrackType::text, "Text 1", {}, false};
        for (int n = 0; n < 20'000; ++n) {
            Clip title;
            title.id = Uuid::random();
            title.assetName = std::string(3000, static_cast<char>('a' + n % 26));
            title.trackType = TrackType::text;
            title.timeRange = {n * 0.18, 0.18};
            title.textPosition = TextPosition::custom(0.5, 0.8);
            titles.clips.push_back(std::move(title));
        }
        Project project = Project::makeNew();
        project.tracks.push_back(std::move(titles));
        const ProjectFile file{ProjectFile::currentVersion,
                               PersistedProject::from(project, assetpaths::ProjectFolder(large))};
        writeFile(large / "project.json",
                  file.encoded(ProjectFile::Layout::prettySortedKeys, std::size_t{128} << 20));
    }
    const auto size = std::filesystem::file_size(large / "project.json");
    ASSERT_GT(size, (std::uintmax_t{672} << 20) / 10);
    ASSERT_LE(size, (std::uintmax_t{673} << 20) / 10);
    // Zeros, and a JSON object that is no project, as large.
    const std::filesystem::path zeros = root / "Zeros";
    std::filesystem::create_directories(zeros);
    std::filesystem::resize_file((std::ofstream(zeros / "project.json"), zeros / "project.json"),
                                 size);
    const std::filesystem::path other = root / "Other";
    writeFile(other / "project.json", "{\"tracks\": \"" + std::string(size, 'a') + "\"}");

    document->edit(addText(0));
    const Project current = timeline.project();
    for (const std::filesystem::path& folder : {large, zeros, other}) {
        awaitTask(main.loadProject(folder));
    }

    EXPECT_EQ(messages(document->banner.errorHistory()),
              (std::vector<std::string>{
                  "Failed to open project \u201CLong Film\u201D: its project file is 67.3 MB; the "
                  "largest project Vexel opens is 64 MB",
                  "Failed to open project \u201CZeros\u201D: Invalid project file format",
                  "Failed to open project \u201COther\u201D: Invalid project file format"}));
    EXPECT_EQ(timeline.project(), current);
    EXPECT_TRUE(main.isDirty());
}

// A project file put together by hand with one id for every track and clip:
// opened, and recovered from the auto-save, each keeps all its tracks and
// clips, and one removal by that id removes one clip.
TEST_F(MainViewModelTest, TracksAndClipsSharingAnIdAreGivenIdsOfTheirOwnWhenRead) {
    Project shared = Project::makeNew();
    const Uuid id = Uuid::random();
    for (int n = 1; n <= 3; ++n) {
        Track text{id, TrackType::text, "Text " + std::to_string(n), {}, false};
        for (int k = 0; k < (n == 1 ? 2 : 1); ++k) {
            text.clips.push_back(vexel::testing::textClip("Title", 4.0 * k));
            text.clips.back().id = id;
        }
        shared.tracks.push_back(std::move(text));
    }
    for (Track& track : shared.tracks) {
        track.id = id;
    }
    const std::filesystem::path folder = root / "shared";
    timeline.setProject(shared);
    awaitTask(main.saveTo(folder));
    document->autoSave->save(shared);

    const auto expectOneThingPerId = [&](const Project& read) {
        std::set<Uuid> ids;
        std::size_t count = 0;
        for (const Track& track : read.tracks) {
            ids.insert(track.id);
            ++count;
            for (const Clip& clip : track.clips) {
                ids.insert(clip.id);
                ++count;
            }
        }
        EXPECT_EQ(ids.size(), count);
        EXPECT_EQ(count, 6u + 4u);
        EXPECT_TRUE(ids.contains(id)); // the first keeps it
    };
    Document opening(root.path(), secrets, time, logger);
    awaitTask(opening.main.loadProject(folder));
    Document recovering(root.path(), secrets, time, logger);
    awaitTask(recovering.main.recoverAutoSave());
    for (Document* reader : {&opening, &recovering}) {
        const Project read = reader->timeline.project();
        expectOneThingPerId(read);
        EXPECT_TRUE(reader->banner.errorHistory().empty());

        const auto firstText = [](const Project& project) {
            return *std::find_if(project.tracks.begin(), project.tracks.end(),
                                 [](const Track& track) { return track.name == "Text 1"; });
        };
        const Track text = firstText(read);
        ASSERT_EQ(text.clips.size(), 2u);
        reader->edit(EditCommand::RemoveClip{text.clips.front().id});
        const Project after = reader->timeline.project();
        EXPECT_EQ(after.tracks.size(), read.tracks.size());
        EXPECT_EQ(firstText(after).clips, std::vector<Clip>{text.clips.back()});
    }
}

TEST_F(MainViewModelTest, AutoSavesReachTheFileInTheOrderTheyWereAskedFor) {
    // The debounced write of the first edit is slow; the flush at quit of the
    // second edit must still be what the file holds in the end.
    document->autoSave->holdFirstWrite = true;
    std::future<void> firstWriteStarted = document->autoSave->firstWriteStarted.get_future();
    document->edit(addText(0));
    settle();
    time.advance(debounce);
    firstWriteStarted.wait();
    document->edit(addText(5));
    QCoro::Task<void> flushing = main.flushAutoSave();
    settle();
    document->autoSave->releaseFirstWrite.set_value();
    awaitTask(std::move(flushing));

    ASSERT_EQ(document->autoSave->saved().size(), 2u);
    EXPECT_EQ(document->autoSave->saved().back(), timeline.project());
    EXPECT_EQ(document->autoSave->load(), timeline.project());
    EXPECT_FALSE(main.autoSaveTask()); // the flush dropped the debounced write of the second edit
    EXPECT_EQ(time.pendingSleeps(), 0u);
}

TEST_F(MainViewModelTest, AFlushWritesADirtyDocumentAtOnceAndNothingForACleanOne) {
    // A new document is clean, with the auto-save of it pending.
    awaitTask(main.newProject());
    ASSERT_TRUE(main.autoSaveTask());
    EXPECT_FALSE(main.autoSaveTask()->isFinished());
    awaitTask(main.flushAutoSave());
    settle();
    EXPECT_FALSE(main.autoSaveTask());
    EXPECT_EQ(time.pendingSleeps(), 0u);
    EXPECT_TRUE(document->autoSave->saved().empty());

    document->edit(addText(5));
    awaitTask(main.flushAutoSave());
    ASSERT_EQ(document->autoSave->saved().size(), 1u);
    EXPECT_EQ(document->autoSave->load(), timeline.project());
}

TEST_F(MainViewModelTest, ANewProjectStartsAfresh) {
    document->edit(addText(0));
    writeFile(root / "a file", "");
    awaitTask(main.saveTo(root / "a file" / "cannot be made"));
    ASSERT_TRUE(document->banner.currentError());

    main.newProject();
    const Project& project = timeline.project();
    ASSERT_EQ(project.tracks.size(), 3u);
    for (std::size_t n = 0; n < 3; ++n) {
        EXPECT_EQ(project.tracks[n].name, "Audio " + std::to_string(n + 1));
        EXPECT_EQ(project.tracks[n].type, TrackType::audio);
        EXPECT_TRUE(project.tracks[n].clips.empty());
        EXPECT_TRUE(project.tracks[n].isDefault);
    }
    EXPECT_EQ(project.maxDuration, 3600.0);
    EXPECT_EQ(document->repository->load(), project);
    EXPECT_FALSE(main.currentProjectURL());
    EXPECT_FALSE(main.isDirty());
    EXPECT_FALSE(document->banner.currentError());
    EXPECT_TRUE(document->banner.errorHistory().empty());
    EXPECT_FALSE(timeline.canUndo());
    EXPECT_EQ(document->resets, (std::vector<std::string>{"instructions", "tutorial"}));

    // Even the empty project is auto-saved after the debounce.
    document->passDebounce(time);
    EXPECT_EQ(document->autoSave->load(), project);
}

TEST_F(MainViewModelTest, AddsMediaFilesOneByOneAndReportsEachThatFails) {
    const std::filesystem::path media = root / "media";
    std::filesystem::create_directories(media / "folder");
    writeFile(media / "notes.txt", "text");
    vexel::testing::TestMovie movie;
    movie.frameCount = 30;
    movie.hasAudio = false;
    vexel::testing::writeTestMovie(media / "clip.mp4", movie);
    writeFile(media / "photo.png", "a picture");
    writeFile(media / "broken.mov", "not a movie");

    // An address of no local file is passed over; a chosen file or folder
    // the editor cannot use is named, with why.
    QSignalSpy staging(&main, &MainViewModel::stagingCountChanged);
    awaitTask(main.addFiles({fileUrl(media / "folder"), QUrl("https://example.com/clip.mp4"),
                             fileUrl(media / "notes.txt")}));
    EXPECT_FALSE(timeline.canUndo());
    EXPECT_EQ(messages(document->banner.errorHistory()),
              (std::vector<std::string>{"Failed to add folder: it is a folder, not a media file",
                                        "Failed to add notes.txt: it is not a media file"}));
    document->banner.clearHistory();

    awaitTask(main.addFiles({fileUrl(media / "clip.mp4"), fileUrl(media / "missing.mp4"),
                             fileUrl(media / "broken.mov"), fileUrl(media / "photo.png")}));
    EXPECT_EQ(messages(document->banner.errorHistory()),
              (std::vector<std::string>{"Failed to add missing.mp4: the file is missing",
                                        "Failed to add broken.mov: it is not a media file"}));
    EXPECT_EQ(
        logger->messages(),
        (std::vector<std::string>{"[FilePicker] addClip failed", "[FilePicker] addClip failed",
                                  "[FilePicker] staging failed", "[FilePicker] addClip failed"}));
    const Project added = timeline.project();
    ASSERT_EQ(added.videoClips().size(), 1u);
    ASSERT_EQ(added.imageClips().size(), 1u);
    EXPECT_EQ(added.videoClips()[0].assetName, "clip.mp4");
    EXPECT_EQ(added.imageClips()[0].assetName, "photo.png");
    // The clips refer to staged copies, not to the files picked.
    ASSERT_TRUE(added.videoClips()[0].assetURL);
    EXPECT_NE(added.videoClips()[0].assetURL->parent_path(), media);
    EXPECT_EQ(main.stagingCount(), 0);
    EXPECT_EQ(staging.count(), 4);
    EXPECT_TRUE(main.isDirty());

    // One undo step per file.
    timeline.undo();
    EXPECT_TRUE(timeline.project().imageClips().empty());
    EXPECT_EQ(timeline.project().videoClips().size(), 1u);
    timeline.undo();
    EXPECT_FALSE(timeline.canUndo());
}

TEST_F(MainViewModelTest, ASavedDocumentUsesTheFoldersCopiesSoNoSaveCopiesTwiceAndOriginalsMayGo) {
    const std::filesystem::path media = root / "media";
    vexel::testing::TestMovie movie;
    movie.frameCount = 30;
    std::filesystem::create_directories(media);
    vexel::testing::writeTestMovie(media / "clip.mp4", movie);
    const std::string bytes = readFile(media / "clip.mp4");
    awaitTask(main.addFiles({fileUrl(media / "clip.mp4")}));
    ASSERT_EQ(timeline.project().videoClips().size(), 1u);
    const Uuid clipId = timeline.project().videoClips()[0].id;
    document->edit(EditCommand::Split{clipId, 0.5}); // two clips, one file
    document->edit(addText(2));

    // Every clip, in the document, the repository and each undo and redo
    // step, names `file`.
    const auto expectAllNames = [&](const std::filesystem::path& file, int undoSteps) {
        const Project shown = timeline.project();
        EXPECT_EQ(document->repository->load(), shown);
        for (const Clip& clip : shown.videoClips()) {
            EXPECT_EQ(clip.assetURL, file);
        }
        int undone = 0;
        for (; timeline.canUndo(); ++undone) {
            timeline.undo();
            for (const Clip& clip : timeline.project().videoClips()) {
                EXPECT_EQ(clip.assetURL, file) << "after " << undone + 1 << " undos";
            }
        }
        EXPECT_EQ(undone, undoSteps);
        for (int step = 0; step < undone; ++step) {
            timeline.redo();
        }
        EXPECT_EQ(timeline.project(), shown);
    };
    const auto onlyAsset = [](const std::filesystem::path& folder) {
        const std::vector<std::string> names = namesIn(folder / "assets");
        EXPECT_EQ(names.size(), 1u) << folder;
        return names.empty() ? folder : folder / "assets" / names.front();
    };

    // One copy, which the document then names; being moved onto it is no change.
    const std::filesystem::path first = root / "First.vexel";
    awaitTask(main.saveTo(first));
    const std::filesystem::path firstCopy = onlyAsset(first);
    EXPECT_FALSE(main.isDirty());
    EXPECT_FALSE(main.autoSaveTask()); // dropped by the save, and none started since
    EXPECT_EQ(ProjectPersistenceService().load(first), timeline.project());
    expectAllNames(firstCopy, 3);

    // The originals go; saving again copies nothing.
    FileStager().cleanStagingDirectory();
    std::filesystem::remove_all(media);
    awaitTask(main.saveProject());
    EXPECT_EQ(onlyAsset(first), firstCopy);

    // Save As elsewhere while an edit is inside the engine: the edit, made
    // from the project with the old paths, lands first, and the move onto
    // the new copies follows it.
    const std::filesystem::path second = root / "Second.vexel";
    QCoro::Task<void> slow = timeline.executeCommand(EditGate::slowTitle(8));
    document->gate.waitUntilEntered();
    QCoro::Task<void> saving = main.saveTo(second);
    ASSERT_TRUE(vexel::testing::runEventsUntil(
        [&] { return std::filesystem::exists(second / "project.json"); }));
    settle();
    document->gate.open();
    awaitTask(std::move(slow));
    awaitTask(std::move(saving));
    EXPECT_TRUE(main.isDirty()); // the title came after the save had read the project
    const std::filesystem::path secondCopy = onlyAsset(second);
    expectAllNames(secondCopy, 4);

    // The first folder goes: later saves still work.
    std::filesystem::remove_all(first);
    awaitTask(main.saveProject());
    EXPECT_FALSE(main.isDirty());
    EXPECT_EQ(onlyAsset(second), secondCopy);
    EXPECT_EQ(ProjectPersistenceService().load(second), timeline.project());

    // Save As into the open folder itself copies nothing onto itself.
    awaitTask(main.saveTo(second));
    EXPECT_EQ(onlyAsset(second), secondCopy);
    EXPECT_EQ(readFile(secondCopy), bytes);

    // Save As over another project's folder: its files stay as they were, the
    // document's own come in beside them under names of their own.
    const std::filesystem::path other = root / "Other.vexel";
    const std::filesystem::path theirs = other / "assets" / secondCopy.filename();
    writeFile(theirs, "their frames");
    ProjectPersistenceService().save(
        [&] {
            Project project = Project::makeNew();
            Clip clip = timeline.project().videoClips()[0];
            clip.assetURL = theirs;
            project.tracks.push_back(Track{Uuid::random(), TrackType::video, "Video 1", {clip}});
            return project;
        }(),
        other);
    awaitTask(main.saveTo(other));
    EXPECT_EQ(readFile(theirs), "their frames");
    EXPECT_EQ(namesIn(other / "assets").size(), 2u);
    const Project reopened = ProjectPersistenceService().load(other);
    EXPECT_EQ(reopened, timeline.project());
    ASSERT_EQ(reopened.videoClips().size(), 2u);
    EXPECT_NE(reopened.videoClips()[0].assetURL, theirs);
    EXPECT_EQ(readFile(*reopened.videoClips()[0].assetURL), bytes);

    EXPECT_TRUE(document->banner.errorHistory().empty());
    EXPECT_TRUE(logger->messages().empty());
}

TEST_F(MainViewModelTest, OpeningOrStartingADocumentLetsTheRunningEditLandFirstAndDropsTheRest) {
    const std::filesystem::path folder = root / "film";
    ProjectPersistenceService().save(
        Project{{Track{Uuid::random(), TrackType::video, "Opened", {}, false}}, 900}, folder);
    const Project opened = ProjectPersistenceService().load(folder);
    document->edit(addText(0));

    // An edit inside the engine when the folder is opened lands first, on the
    // document it was made for; what is asked for while the folder is read is
    // dropped, and the opened project starts without history.
    QCoro::Task<void> running = timeline.executeCommand(EditGate::slowTitle(10));
    document->gate.waitUntilEntered();
    QCoro::Task<void> loading = main.loadProject(folder);
    QCoro::Task<void> asked = timeline.executeCommand(addText(5));
    timeline.undo();
    document->gate.open();
    awaitTask(std::move(running));
    awaitTask(std::move(loading));
    EXPECT_THROW(awaitTask(std::move(asked)), CancellationError);
    settle();
    EXPECT_EQ(timeline.project(), opened);
    EXPECT_EQ(document->repository->load(), opened);
    EXPECT_FALSE(timeline.canUndo());
    EXPECT_FALSE(timeline.canRedo());
    EXPECT_FALSE(main.isDirty());
    EXPECT_EQ(main.currentProjectURL(), folder);

    // A folder that does not open: what waited runs on the document it was
    // asked for.
    document->gate.close();
    QCoro::Task<void> slow = timeline.executeCommand(EditGate::slowTitle(10));
    document->gate.waitUntilEntered();
    QCoro::Task<void> failing = main.loadProject(root / "nowhere");
    QCoro::Task<void> kept = timeline.executeCommand(addText(5));
    document->gate.open();
    awaitTask(std::move(failing));
    awaitTask(std::move(kept));
    awaitTask(std::move(slow));
    EXPECT_EQ(timeline.project().textClips().size(), 2u);
    EXPECT_EQ(main.currentProjectURL(), folder);

    // A new project asked for while an edit runs comes once it has landed.
    document->gate.close();
    QCoro::Task<void> last = timeline.executeCommand(EditGate::slowTitle(20));
    document->gate.waitUntilEntered();
    main.newProject();
    EXPECT_EQ(main.currentProjectURL(), folder);
    document->gate.open();
    awaitTask(std::move(last));
    settle();
    EXPECT_TRUE(timeline.project().textClips().empty());
    EXPECT_EQ(timeline.project().tracks.size(), 3u);
    EXPECT_EQ(document->repository->load(), timeline.project());
    EXPECT_FALSE(main.currentProjectURL());
    EXPECT_FALSE(main.isDirty());
    EXPECT_FALSE(timeline.canUndo());
}

TEST_F(MainViewModelTest, RandomEditsUndosRedosAndOpensNeverLoseAnEditNorMixTwoDocuments) {
    // Three folders to open, each told apart by its maximum duration.
    std::vector<std::filesystem::path> folders;
    for (int k = 0; k < 3; ++k) {
        folders.push_back(root / ("doc " + std::to_string(k)));
        ProjectPersistenceService().save(Project::makeNew(1000.0 + k), folders.back());
    }
    enum class Kind { edit, batch, undo, redo, open, failedOpen };
    enum class Outcome { pending, succeeded, cancelled, failed };
    struct Operation {
        Kind kind;
        int label = 0;                         // the title an edit adds, as its start time
        int folder = 0;                        // the folder an open reads
        std::vector<std::size_t> opensPending; // opens not ended when it was asked for
        Outcome outcome = Outcome::pending;
    };
    const auto watch = [](QCoro::Task<void> task, Outcome* outcome) -> QCoro::Task<void> {
        try {
            co_await task;
            *outcome = Outcome::succeeded;
        } catch (const CancellationError&) {
            *outcome = Outcome::cancelled;
        } catch (...) {
            *outcome = Outcome::failed;
        }
    };

    const unsigned seed = 20240612;
    std::mt19937 random(seed);
    for (int round = 0; round < 100 && !HasFailure(); ++round) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", interleaving " + std::to_string(round));
        Document doc(root / ("run " + std::to_string(round)), secrets, time, logger);
        // Stable addresses: the watchers write the outcomes as they end.
        std::vector<std::unique_ptr<Operation>> operations;
        std::vector<QCoro::Task<void>> watchers;
        int nextLabel = 0;
        for (int step = 0; step < 24; ++step) {
            const unsigned pick = random() % 20;
            if (pick < 3) {
                QCoreApplication::processEvents();
                continue;
            }
            auto operation = std::make_unique<Operation>();
            for (std::size_t n = 0; n < operations.size(); ++n) {
                const Operation& earlier = *operations[n];
                if ((earlier.kind == Kind::open || earlier.kind == Kind::failedOpen) &&
                    earlier.outcome == Outcome::pending) {
                    operation->opensPending.push_back(n);
                }
            }
            Outcome* outcome = &operation->outcome;
            if (pick < 10) {
                operation->kind = pick < 8 ? Kind::edit : Kind::batch;
                operation->label = ++nextLabel;
                QCoro::Task<void> edit =
                    pick < 8 ? doc.timeline.executeCommand(addText(operation->label * 2))
                             : doc.timeline.executeCommands({addText(operation->label * 2)});
                watchers.push_back(watch(std::move(edit), outcome));
            } else if (pick < 15) {
                operation->kind = pick < 13 ? Kind::undo : Kind::redo;
                pick < 13 ? doc.timeline.undo() : doc.timeline.redo();
            } else {
                operation->kind = pick < 19 ? Kind::open : Kind::failedOpen;
                operation->folder = static_cast<int>(random() % 3);
                const std::filesystem::path where =
                    operation->kind == Kind::open ? folders[operation->folder] : root / "nowhere";
                watchers.push_back(watch(doc.main.loadProject(where), outcome));
            }
            operations.push_back(std::move(operation));
        }
        for (QCoro::Task<void>& watcher : watchers) {
            awaitTask(std::move(watcher));
        }
        settle();

        // What the operations must have made, taken in the order they were
        // asked for: the turns keep that order. One asked for while an open
        // that then succeeded was pending was dropped.
        double maxDuration = Project::defaultMaxDuration;
        EditHistory history;
        std::vector<int> titles; // the model project: the titles' labels
        std::vector<std::vector<int>> undos, redos;
        for (const auto& operation : operations) {
            const bool dropped =
                std::any_of(operation->opensPending.begin(), operation->opensPending.end(),
                            [&](std::size_t n) { return operations[n]->kind == Kind::open; });
            switch (operation->kind) {
            case Kind::open:
                EXPECT_EQ(operation->outcome, Outcome::succeeded);
                maxDuration = 1000.0 + operation->folder;
                titles.clear();
                undos.clear();
                redos.clear();
                break;
            case Kind::failedOpen:
                EXPECT_EQ(operation->outcome, Outcome::succeeded); // loadProject never throws
                break;
            case Kind::edit:
            case Kind::batch:
                if (dropped) {
                    EXPECT_EQ(operation->outcome, Outcome::cancelled) << operation->label;
                    break;
                }
                EXPECT_EQ(operation->outcome, Outcome::succeeded) << operation->label;
                undos.push_back(titles);
                if (undos.size() > 50) {
                    undos.erase(undos.begin());
                }
                redos.clear();
                titles.push_back(operation->label);
                break;
            case Kind::undo:
            case Kind::redo: {
                auto& from = operation->kind == Kind::undo ? undos : redos;
                auto& to = operation->kind == Kind::undo ? redos : undos;
                if (!dropped && !from.empty()) {
                    to.push_back(titles);
                    titles = from.back();
                    from.pop_back();
                }
                break;
            }
            }
        }
        std::vector<int> shown;
        for (const Clip& clip : doc.timeline.project().textClips()) {
            shown.push_back(static_cast<int>(clip.timeRange.startTime / 2));
        }
        std::sort(shown.begin(), shown.end());
        std::sort(titles.begin(), titles.end());
        EXPECT_EQ(shown, titles);
        EXPECT_EQ(doc.timeline.project().maxDuration, maxDuration);
        EXPECT_EQ(doc.timeline.canUndo(), !undos.empty());
        EXPECT_EQ(doc.timeline.canRedo(), !redos.empty());
        EXPECT_EQ(doc.repository->load(), doc.timeline.project());
    }
}

TEST_F(MainViewModelTest, AnAutoSaveOfAnotherKeyStoreIsKeptAndRecoveredWhereItsKeyIs) {
    document->edit(addText(0));
    document->passDebounce(time);
    const Project edited = timeline.project();
    document.reset(); // the run ends without a save

    // The next run has another key store (no Secret Service answered): it says
    // where the work is, and its own auto-saves leave it alone.
    auto otherSecrets = std::make_shared<InMemorySecretStore>();
    {
        Document next(root.path(), otherSecrets, time, logger);
        ASSERT_TRUE(next.autoSave->exists());
        awaitTask(next.main.recoverAutoSave());
        EXPECT_EQ(logger->messages(),
                  std::vector<std::string>{"[App] Failed to recover from auto-save"});
        ASSERT_EQ(next.banner.errorHistory().size(), 1u);
        const std::string shown = next.banner.errorHistory().front().message;
        EXPECT_NE(shown.find("the test's key store"), std::string::npos) << shown;
        EXPECT_NE(shown.find("project-"), std::string::npos) << shown;
        EXPECT_TRUE(next.timeline.project().textClips().empty());
        EXPECT_FALSE(next.main.isDirty());
        next.edit(addText(7));
        next.passDebounce(time);
        awaitTask(next.main.flushAutoSave());
        settle();
    }

    // A run with the first store recovers the first run's work.
    Document third(root.path(), secrets, time, logger);
    ASSERT_TRUE(third.autoSave->exists());
    awaitTask(third.main.recoverAutoSave());
    EXPECT_EQ(third.timeline.project(), edited.ensuringDefaultAudioTracks());
    EXPECT_EQ(third.repository->load(), third.timeline.project());
    EXPECT_EQ(third.timeline.project().textClips(), edited.textClips());
    EXPECT_TRUE(third.main.isDirty());
    EXPECT_FALSE(third.main.currentProjectURL());
    EXPECT_EQ(logger->messages().size(), 1u);
}
