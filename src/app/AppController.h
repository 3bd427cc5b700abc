#pragma once

#include "app/AppEnvironment.h"
#include "app/DependencyContainer.h"
#include "app/HeapTrimmer.h"
#include "app/QuitController.h"
#include "data/media/FileStager.h"
#include "data/persistence/FileAutoSaveService.h"
#include "platform/instance/SingleInstance.h"
#include "platform/update/FeedUpdater.h"
#include "presentation/viewmodels/EditorGraph.h"
#include "presentation/viewmodels/runtime/TaskHandle.h"
#include "presentation/viewmodels/runtime/TurnQueue.h"
#include "presentation/views/kit/DialogService.h"
#include "presentation/views/shell/MainWindow.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QSessionManager>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace vexel {

// The application from start to end. At start it tidies what earlier runs
// left (staged imports unless an auto-save still needs them, exports, a key
// no longer used), shows the window, and then, from the event loop, builds
// the editor, routes every way of quitting through the quit controller,
// offers to recover the work of a session that ended unsaved, and opens the
// project folder it was started with. As the user's one editor, it comes to
// the front for each later start and opens the folder that start was given.
// GUI thread only.
class AppController : public QObject {
    Q_OBJECT

public:
    // `projectFolder`: the folder to open once the editor is up. `dialogs`:
    // none asks through message boxes over the window. `terminate` ends the
    // application once quitting is decided.
    AppController(AppEnvironment environment, std::optional<std::filesystem::path> projectFolder,
                  std::unique_ptr<DialogService> dialogs = nullptr,
                  std::function<void()> terminate = nullptr, QObject* parent = nullptr);
    ~AppController() override;

    // Makes this the user's one editor, before start(): each later start that
    // `instance` hears from brings the window to the front and has its folder
    // opened as Open does, after the start-up and asking first about unsaved
    // work; once quitting is decided no later start is taken, so that one
    // waits to become the editor itself. The instance's lock is let go of
    // when the controller goes.
    //
    // Whether it runs alone is asked of `instance` again right before the
    // start-up's clean-up and before the recovery is offered or discarded. An
    // editor that cannot make sure of it (none given, or one that is not
    // alone) says so in its window, and never tidies the staged media or
    // exports, offers, loads or removes an auto-save, or writes one: all of
    // that may be another running editor's work.
    void becomeTheEditor(std::unique_ptr<instance::PrimaryInstance> instance);

    // True once this editor could not make sure it runs alone.
    bool isUnguarded() const { return unguarded_; }

    // How often the editor makes sure that its lock is still the one later
    // starts find, taking it again when a clean-up removed it.
    static constexpr std::chrono::seconds guardCheckInterval{2};

    // Tidies up, shows the window and starts the editor's start-up.
    void start();

    MainWindow& window() const { return *window_; }
    // None until the start-up has built it.
    EditorGraph* editorGraph() const { return graph_.get(); }
    QuitController& quitController() const { return *quit_; }
    // Behind "Check for Updates...": checks the feed named by
    // VEXEL_UPDATE_FEED_URL, and none can start without one.
    update::FeedUpdater& updater() const { return *updater_; }
    DialogService& dialogs() const { return *dialogs_; }
    // The start-up begun by start(): the editor built, recovery offered, the
    // folder opened.
    const std::optional<TaskHandle>& startup() const { return startup_; }
    // None until the start-up has built the editor.
    HeapTrimmer* heapTrimmer() const { return heapTrimmer_.get(); }
    // The opening of the folder a later start handed over last.
    const std::optional<TaskHandle>& lastHandOver() const { return lastHandOver_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cleanUpAtStart();
    // Asks the instance; a standalone controller (no becomeTheEditor) is
    // alone. Once false, the editor stays unguarded.
    bool confirmAlone();
    static QCoro::Task<void> startEditor(QPointer<AppController> self);
    static QCoro::Task<void> offerRecovery(QPointer<AppController> self);
    static QCoro::Task<void> recover(QPointer<AppController> self);
    static QCoro::Task<void> discard(QPointer<AppController> self);
    void connectQuitHooks();
    void handleCommitData(QSessionManager& manager);
    void takeHandOver(const std::optional<std::filesystem::path>& folder);
    static QCoro::Task<void> openHandedFolder(QPointer<AppController> self,
                                              std::filesystem::path folder);

    // First, so that the lock is let go of after everything else is gone.
    std::unique_ptr<instance::PrimaryInstance> instance_;
    AppEnvironment environment_;
    std::optional<std::filesystem::path> projectFolder_;
    std::shared_ptr<const FileAutoSaveService> autoSaveService_;
    FileStager fileStager_;
    // Made before the window and gone after it: the window's views hold it.
    std::unique_ptr<EditorGraph> graph_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<DialogService> dialogs_;
    std::unique_ptr<QuitController> quit_;
    std::unique_ptr<update::FeedUpdater> updater_;
    // Made with the editor; it watches the graph.
    std::unique_ptr<HeapTrimmer> heapTrimmer_;
    // Until the work of an earlier session is recovered or discarded (the
    // question unanswered, or the copy unreadable for now), its auto-save is
    // the only copy of that work: quitting must not remove it.
    bool recoveryPending_ = false;
    bool guardGiven_ = false;
    bool unguarded_ = false;
    std::unique_ptr<QTimer> guardCheck_;
    bool exposed_ = false;
    std::optional<TaskHandle> startup_;
    // Folders handed over are opened one after the other, as they came.
    TurnQueue handOverTurns_;
    std::optional<TaskHandle> lastHandOver_;
};

} // namespace vexel
