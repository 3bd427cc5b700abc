#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/AutoSaveService.h"
#include "domain/protocols/FileStaging.h"
#include "domain/protocols/MediaLoader.h"
#include "foundation/Logger.h"
#include "presentation/viewmodels/DocumentStorage.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/viewmodels/runtime/Clock.h"
#include "presentation/viewmodels/runtime/Observable.h"
#include "presentation/viewmodels/runtime/Sleep.h"
#include "presentation/viewmodels/runtime/TaskSlot.h"
#include "presentation/viewmodels/runtime/TurnQueue.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QSettings>
#include <QThreadPool>
#include <QUrl>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vexel {

// The open document of the window: where the project lives on disk, whether it
// has unsaved changes, and the document commands (new, open, save, save as),
// the debounced encrypted auto-save with its throttled failure notice, its
// flush at quit, and the adding of files picked in the file panel. It holds no
// project of its own: the timeline shows the document and the repository holds
// the one the engine and the save read.
//
// The application tells it of every change of the document by setting it dirty
// and calling scheduleAutoSave with the new project (the timeline's
// onProjectSync). No operation throws: failures become a banner message on the
// timeline's error banner and a log line, and leave the document, its folder and
// its dirty flag as they were. GUI thread only.
class MainViewModel : public QObject {
    Q_OBJECT

public:
    // What a new or opened document starts afresh besides the timeline and the
    // banner: the conversation with its running instruction, and the guided
    // tutorial. Either may be left empty.
    struct DocumentResets {
        std::function<void()> prepareInstructionsForNewProject;
        std::function<void()> endTutorial;
    };

    static constexpr std::chrono::duration<double> defaultAutoSaveDebounce{5.0};
    // The longest a change waits for the auto-save while changes keep coming
    // closer together than the debounce: each would otherwise put the write
    // off again, and a crash would take all of them. It leaves the write time
    // to reach the disk within 15 s of the change.
    static constexpr std::chrono::duration<double> autoSaveMaxDelay{10.0};
    // Auto-save failures are logged every time but shown at most this often.
    static constexpr std::chrono::duration<double> autoSaveFailureNoticeInterval{60.0};

    // `autoSaveService`: none writes no auto-save. `userDefaults` must outlive the
    // view model; the window keeps its onboarding flag there. `clock` stamps
    // errors and throttles the failure notice; `sleep` waits out the debounce.
    // `worker` stages imported files (none: the global thread pool).
    // `mediaLoader` tells what a file holds whose extension says nothing.
    MainViewModel(TimelineViewModel& timelineViewModel,
                  std::shared_ptr<const FileStaging> fileStager,
                  std::shared_ptr<const MediaLoader> mediaLoader,
                  std::shared_ptr<const AutoSaveService> autoSaveService, DocumentStorage storage,
                  DocumentResets resets, QSettings& userDefaults, std::shared_ptr<Logger> logger,
                  std::shared_ptr<const Clock> clock = std::make_shared<SystemClock>(),
                  SleepAction sleep = sleepOnEventLoop,
                  std::chrono::duration<double> autoSaveDebounce = defaultAutoSaveDebounce,
                  QThreadPool* worker = nullptr, QObject* parent = nullptr);

    TimelineViewModel& timelineViewModel() const { return timelineViewModel_; }
    QSettings& userDefaults() const { return userDefaults_; }

    // The project folder of the document; none for a new one.
    const std::optional<std::filesystem::path>& currentProjectURL() const {
        return currentProjectURL_.get();
    }

    // Set by saveProject when the document has no folder yet; the window shows
    // its save panel and resets it.
    bool showSaveDialog() const { return showSaveDialog_.get(); }
    void setShowSaveDialog(bool show);

    // Changes since the last new, open or successful save.
    bool isDirty() const { return isDirty_.get(); }
    void setIsDirty(bool dirty);

    // Saves and file imports in flight, for the window's progress.
    int savingCount() const { return savingCount_.get(); }
    int stagingCount() const { return stagingCount_.get(); }

    // The debounced auto-save scheduled last (it stays after it ended until the
    // next schedule or flush).
    const std::optional<TaskHandle>& autoSaveTask() const { return autoSave_.task(); }
    std::chrono::duration<double> autoSaveDebounce() const { return autoSaveDebounce_; }

    // Three empty default audio tracks, no folder, clean, an empty banner and no
    // undo. At once, unless an edit is under way: then once it has landed. The
    // returned task ends when the new document is in place; nobody has to wait
    // for it.
    QCoro::Task<void> newProject();
    // On failure the current document, its folder, dirty flag and history stay,
    // and the banner says which folder failed and why. Clips whose media
    // cannot be used are named on the banner once the project is open.
    // No edit runs while the folder is read: one under way lands first, on the
    // old document, and those asked for meanwhile are dropped when the folder
    // opens (they run on the old document when it does not).
    QCoro::Task<void> loadProject(std::filesystem::path folder);
    // The start-up's recovery of unsaved work: the auto-save, with the default
    // audio tracks added where missing, replaces the document, which stays
    // dirty and without a folder. A failure is logged ("[App] Failed to recover
    // from auto-save") and leaves the document; one that left work on disk
    // unopened (another key store's, or a folder others can write) is also
    // shown on the banner, which says where it is.
    QCoro::Task<void> recoverAutoSave();
    // Saves to the document's folder, or asks the window for one. Once saved,
    // the document and its undo steps name the folder's copies of the media
    // that lay outside it, so that the next save copies nothing again; that
    // is no change of the document. A successful save drops the pending
    // auto-save and removes the auto-save file, unless the document changed
    // while it ran. A failure is shown with its reason ("Failed to save
    // project “Film”: the disk is full").
    //
    // Saves take turns: one asked for while another runs starts when that
    // one has ended, and goes where it left the document.
    QCoro::Task<void> saveProject();
    // Saves the document to `folder`, which becomes the document's folder once
    // the save has succeeded there; a failed save leaves the document where
    // it was.
    QCoro::Task<void> saveTo(std::filesystem::path folder);

    // Writes `project` to the auto-save once the debounce has passed with no
    // later change, or once the oldest change not yet written has waited
    // autoSaveMaxDelay, whichever comes first; each call replaces the one
    // pending.
    void scheduleAutoSave(Project project);
    // At quit: drops the pending auto-save and, when the document is dirty,
    // writes the timeline's project at once.
    QCoro::Task<void> flushAutoSave();

    // Stages each file (in order, one at a time, off the GUI thread) and adds it
    // as a clip, one undo step each, on the track its extension names or,
    // where the extension says nothing, the one its content calls for.
    // Addresses of no local file are skipped; every chosen file that cannot
    // be used is reported with its name and why, and the rest go on.
    QCoro::Task<void> addFiles(std::vector<QUrl> urls);

signals:
    void currentProjectURLChanged();
    void showSaveDialogChanged();
    void isDirtyChanged();
    void savingCountChanged();
    void stagingCountChanged();

private:
    // Saves to `folder`, or to the document's folder once the saves before
    // have ended (none: asks the window).
    QCoro::Task<void> saveInTurn(std::optional<std::filesystem::path> folder);
    QCoro::Task<void> performSave(std::filesystem::path folder);
    // Writes (or, without a service, skips) one auto-save in turn behind every
    // earlier one, then records the outcome.
    QCoro::Task<void> writeAutoSave(std::shared_ptr<const AutoSaveService> service, Project project,
                                    std::string failureLog);
    // `detail`: why, for the banner.
    void handleAutoSaveFailure(std::optional<std::string> detail);
    // What both a new and an opened document do once the timeline holds it.
    void startAfresh(Project project, std::optional<std::filesystem::path> folder);
    QCoro::Task<void> startAfreshInTurn(Project project);
    // Moves the document, its undo steps and the repository's project onto
    // the copies a save made, unless `document` has since been replaced.
    QCoro::Task<void> moveOntoCopies(MediaRelocation relocation, std::uint64_t document);
    void pushError(std::string message, std::optional<std::string> detail = std::nullopt);

    TimelineViewModel& timelineViewModel_;
    std::shared_ptr<const FileStaging> fileStager_;
    std::shared_ptr<const MediaLoader> mediaLoader_;
    Observable<int> stagingCount_;
    Observable<std::optional<std::filesystem::path>> currentProjectURL_;
    Observable<bool> showSaveDialog_;
    Observable<int> savingCount_;
    Observable<bool> isDirty_;
    std::shared_ptr<const AutoSaveService> autoSaveService_;
    std::chrono::duration<double> autoSaveDebounce_;
    std::optional<std::chrono::system_clock::time_point> lastAutoSaveFailure_;
    // When the oldest change that no auto-save has begun to write was made.
    std::optional<std::chrono::system_clock::time_point> oldestUnwrittenChange_;
    DocumentStorage storage_;
    DocumentResets resets_;
    QSettings& userDefaults_;
    std::shared_ptr<Logger> logger_;
    std::shared_ptr<const Clock> clock_;
    SleepAction sleep_;
    QThreadPool* worker_;
    // Raised by every change the application reports; a save clears the dirty
    // flag only when no change came in while it ran.
    std::uint64_t changeCount_ = 0;
    TaskSlot autoSave_;
    TurnQueue saveTurns_;
    // One thread, first come first served: auto-save writes and removals reach
    // the file in the order they were asked for, so a slow write of an older
    // project can never land after a newer one.
    QThreadPool autoSaveWorker_;
};

} // namespace vexel
