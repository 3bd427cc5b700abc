#include "presentation/viewmodels/MainViewModel.h"

#include "data/media/FFmpegMediaLoader.h"
#include "data/media/FileStager.h"
#include "data/persistence/FileAutoSaveService.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/usecases/DefaultHandlers.h"
#include "infrastructure/security/KeychainAESEncryption.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/ManualTime.h"
#include "support/FakeExportService.h"
#include "support/FileContents.h"
#include "support/InMemorySecretStore.h"
#include "support/RecordingLogger.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <memory>
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
             ManualTime& time, std::shared_ptr<RecordingLogger> logger)
        : autoSave(std::make_shared<RecordingAutoSave>(std::make_shared<FileAutoSaveService>(
              root / "autosave", std::make_shared<KeychainAESEncryption>(
                                     "com.vexel.app.autosave-key", "aes-key", secrets))))
        , banner(logger, time.sleepAction())
        , timeline(
              repository->load(), banner,
              WrappedEditCommandExecutor(std::make_shared<DefaultEditCommandExecutor>(
                  makeDefaultEditCommandExecutor(repository, std::make_shared<FFmpegMediaLoader>(),
                                                 std::make_shared<FakeExportService>()))))
        , settings(QFile::decodeName((root / "settings.ini").c_str()), QSettings::IniFormat)
        , main(timeline, std::make_shared<FileStager>(), autoSave, storage(),
               {[this] { resets.push_back("instructions"); },
                [this] { resets.push_back("tutorial"); }},
               settings, logger, std::shared_ptr<const Clock>(std::shared_ptr<void>(), &time),
               time.sleepAction(), debounce) {
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
        real.save = [this, save = real.save](std::filesystem::path folder) -> QCoro::Task<void> {
            co_await save(std::move(folder));
            if (const std::shared_ptr<PendingWait> gate = saveGate) {
                co_await PendingWait::wait(gate);
            }
        };
        return real;
    }

    void edit(EditCommand command) { awaitTask(timeline.executeCommand(std::move(command))); }

    // Lets the debounce pass and waits for the write it starts.
    void passDebounce(ManualTime& time) {
        settle(); // the scheduled task starts from the event loop
        time.advance(debounce);
        ASSERT_TRUE(main.autoSaveTask());
        awaitTask(main.autoSaveTask()->finished());
    }

    std::shared_ptr<InMemoryProjectRepository> repository =
        std::make_shared<InMemoryProjectRepository>(Project::makeNew());
    std::shared_ptr<RecordingAutoSave> autoSave;
    ErrorBannerViewModel banner;
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

    const std::filesystem::path damaged = root / "damaged";
    std::filesystem::create_directories(damaged);
    writeFile(damaged / "project.json", "{ this is not a project");
    awaitTask(main.loadProject(damaged));
    awaitTask(main.loadProject(root / "nowhere"));

    EXPECT_EQ(messages(document->banner.errorHistory()),
              (std::vector<std::string>{"Failed to open project", "Failed to open project"}));
    EXPECT_EQ(logger->messages(),
              (std::vector<std::string>{
                  "[Load] load failed: PersistenceError \u2014 decodingFailed(\"Invalid project "
                  "file format\")",
                  "[Load] load failed: PersistenceError \u2014 fileNotFound(\"project.json\")"}));
    EXPECT_EQ(timeline.project(), current);
    EXPECT_EQ(document->repository->load(), current);
    EXPECT_EQ(main.currentProjectURL(), saved);
    EXPECT_TRUE(main.isDirty());
    EXPECT_TRUE(timeline.canUndo());
    EXPECT_TRUE(document->resets.empty());
}

TEST_F(MainViewModelTest, SavingAsksForAFolderAndAFailedSaveKeepsTheDocumentDirty) {
    QSignalSpy asked(&main, &MainViewModel::showSaveDialogChanged);
    document->edit(addText(0));
    awaitTask(main.saveProject());
    EXPECT_TRUE(main.showSaveDialog());
    EXPECT_EQ(asked.count(), 1);
    EXPECT_TRUE(main.isDirty());

    // A folder inside a file cannot be made.
    writeFile(root / "a file", "");
    const std::filesystem::path impossible = root / "a file" / "project";
    awaitTask(main.saveTo(impossible));
    EXPECT_EQ(messages(document->banner.errorHistory()),
              std::vector<std::string>{"Failed to save project"});
    EXPECT_EQ(logger->messages(), std::vector<std::string>{"[Save] save failed"});
    EXPECT_TRUE(main.isDirty());
    EXPECT_EQ(main.currentProjectURL(), impossible); // kept for the next try
    EXPECT_EQ(main.savingCount(), 0);

    document->passDebounce(time);
    ASSERT_TRUE(document->autoSave->exists());
    const std::filesystem::path folder = root / "film";
    awaitTask(main.saveTo(folder));
    EXPECT_FALSE(main.isDirty());
    EXPECT_FALSE(document->autoSave->exists());
    EXPECT_TRUE(std::filesystem::exists(folder / "project.json"));
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
    document->edit(addText(0));
    awaitTask(main.saveTo(root / "film"));
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

    QSignalSpy staging(&main, &MainViewModel::stagingCountChanged);
    awaitTask(main.addFiles({fileUrl(media / "folder"), QUrl("https://example.com/clip.mp4"),
                             fileUrl(media / "notes.txt")}));
    EXPECT_FALSE(timeline.canUndo());
    EXPECT_TRUE(document->banner.errorHistory().empty());

    awaitTask(main.addFiles({fileUrl(media / "clip.mp4"), fileUrl(media / "missing.mp4"),
                             fileUrl(media / "broken.mov"), fileUrl(media / "photo.png")}));
    EXPECT_EQ(messages(document->banner.errorHistory()),
              (std::vector<std::string>{"Failed to add missing.mp4", "Failed to add broken.mov"}));
    EXPECT_EQ(logger->messages(), (std::vector<std::string>{"[FilePicker] staging failed",
                                                            "[FilePicker] addClip failed"}));
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
