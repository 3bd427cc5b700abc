#include "app/AppController.h"

#include "data/export/FFmpegExportService.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "infrastructure/security/KeychainService.h"
#include "platform/memory/Heap.h"
#include "platform/net/CurlHttpClient.h"
#include "platform/net/HttpURL.h"
#include "presentation/viewmodels/runtime/BackgroundWork.h"
#include "presentation/views/kit/QtDialogService.h"
#include "presentation/views/shell/MainWindowCommands.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QThreadPool>
#include <QWindow>

#include <utility>

namespace vexel {

namespace {

// The item an earlier version kept its backend key in; removed at every start.
constexpr const char* legacyKeyService = "com.vexel.app.api-key";
constexpr const char* legacyKeyAccount = "api-key";

enum RecoveryAnswer { recoverWork = 0, discardWork = 1 };

constexpr const char* updateFeedVariable = "VEXEL_UPDATE_FEED_URL";
constexpr const char* siteVariable = "VEXEL_SITE_URL";

AlertRequest unguardedNotice() {
    return AlertRequest{
        QStringLiteral("Vexel"),
        QStringLiteral("Vexel cannot make sure that it is the only editor running."),
        QStringLiteral("So that another editor keeps its work whole, this window does not "
                       "auto-save and leaves earlier unsaved work alone. Save your work with "
                       "Save."),
        {{QStringLiteral("OK"), AlertButtonRole::defaultAction}}};
}

AlertRequest recoveryQuestion() {
    return AlertRequest{
        QStringLiteral("Vexel"),
        QStringLiteral("Recover unsaved changes?"),
        QStringLiteral("A previous session was not saved. Would you like to recover your work?"),
        {{QStringLiteral("Recover"), AlertButtonRole::defaultAction},
         {QStringLiteral("Discard"), AlertButtonRole::destructive}}};
}

QCoro::Task<void> saveDocument(QPointer<MainViewModel> document) {
    if (document) {
        QCoro::Task<void> saving = document->saveProject();
        co_await saving;
    }
}

QCoro::Task<void> flushDocument(QPointer<MainViewModel> document) {
    if (document) {
        QCoro::Task<void> flushing = document->flushAutoSave();
        co_await flushing;
    }
}

} // namespace

AppController::AppController(AppEnvironment environment,
                             std::optional<std::filesystem::path> projectFolder,
                             std::unique_ptr<DialogService> dialogs,
                             std::function<void()> terminate, QObject* parent)
    : QObject(parent)
    , environment_(std::move(environment))
    , projectFolder_(std::move(projectFolder))
    , autoSaveService_(DependencyContainer::makeAutoSaveService(environment_))
    , window_(std::make_unique<MainWindow>()) {
    // Before the editor's threads start, so that they share a few arenas.
    memory::boundHeapGrowth();
    if (!dialogs) {
        dialogs = std::make_unique<QtDialogService>(window_.get());
    }
    dialogs_ = std::move(dialogs);
    if (!terminate) {
        terminate = [] { QCoreApplication::quit(); };
    }
    quit_ = std::make_unique<QuitController>(*dialogs_, environment_.logger, std::move(terminate));

    MainWindowCommands& commands = window_->commands();
    commands.setDialogService(*dialogs_);
    std::optional<std::string> feed = environment_.environment(updateFeedVariable);
    if (feed && feed->empty()) {
        feed.reset();
    }
    updater_ = std::make_unique<update::FeedUpdater>(
        std::move(feed),
        environment_.infoDictionary.value(QStringLiteral("CFBundleShortVersionString"))
            .toString()
            .toStdString(),
        std::make_shared<net::CurlHttpClient>(),
        [commands = QPointer(&commands)](const update::UpdateCheckResult& result) {
            if (commands) {
                commands->presentUpdateResult(result);
            }
        },
        environment_.logger);
    commands.setUpdater(updater_.get());
    if (const std::optional<std::string> site = environment_.environment(siteVariable);
        site && !site->empty()) {
        // Opened in the user's browser: only a web address is.
        if (net::isValidHttpURL(*site)) {
            commands.setSupportSite(QUrl(QString::fromStdString(*site)));
        } else {
            environment_.logger->error("[App] The web site is not an http or https address");
        }
    }

    window_->setCloseGuard([this] {
        quit_->requestQuit();
        return quit_->isQuitAllowed();
    });
    connect(window_.get(), &MainWindow::quitRequested, quit_.get(), &QuitController::requestQuit);
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(application, &QGuiApplication::commitDataRequest, this,
                &AppController::handleCommitData, Qt::DirectConnection);
    }
}

AppController::~AppController() {
    // The window's views hold the graph and the updater: the window goes first.
    window_.reset();
}

void AppController::becomeTheEditor(std::unique_ptr<instance::PrimaryInstance> instance) {
    instance_ = std::move(instance);
    guardGiven_ = true;
    if (instance_) {
        guardCheck_ = std::make_unique<QTimer>();
        guardCheck_->setInterval(guardCheckInterval);
        connect(guardCheck_.get(), &QTimer::timeout, this, [this] { confirmAlone(); });
        guardCheck_->start();
    }
    instance::InstanceServer* server = instance_ ? instance_->server() : nullptr;
    if (server == nullptr) {
        return;
    }
    connect(server, &instance::InstanceServer::requested, this, &AppController::takeHandOver);
    // A start taken now would be answered by an editor that is about to end.
    connect(quit_.get(), &QuitController::quitAllowed, server,
            &instance::InstanceServer::stopAccepting);
}

bool AppController::confirmAlone() {
    if (unguarded_) {
        return false;
    }
    if (!guardGiven_) {
        return true;
    }
    if (instance_ && instance_->confirmAlone()) {
        return true;
    }
    unguarded_ = true;
    environment_.logger->error("[App] Cannot make sure this is the only editor" +
                               (instance_ && !instance_->guardFailure().empty()
                                    ? ": " + instance_->guardFailure()
                                    : std::string()));
    return false;
}

void AppController::start() {
    if (confirmAlone()) {
        cleanUpAtStart();
    }
    // Watched from before it is shown: a platform may expose it at once.
    window_->winId();
    if (QWindow* handle = window_->windowHandle()) {
        handle->installEventFilter(this);
    }
    window_->show();
    // From the event loop, once the window is on its way to the screen.
    startup_ =
        TaskHandle::start([self = QPointer(this)](std::stop_token) { return startEditor(self); },
                          environment_.logger);
}

bool AppController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && !exposed_) {
        auto* handle = qobject_cast<QWindow*>(watched);
        if (handle != nullptr && handle->isExposed()) {
            // Marks how long the window took to reach the screen, for the
            // start-up measurement.
            exposed_ = true;
            environment_.logger->debug("[App] Window exposed");
            handle->removeEventFilter(this);
        }
    }
    return QObject::eventFilter(watched, event);
}

void AppController::cleanUpAtStart() {
    const std::shared_ptr<Logger>& logger = environment_.logger;
    // Staged media of an unsaved session are what its auto-save points at.
    bool autoSaveWaits = true;
    try {
        autoSaveWaits = autoSaveService_->exists();
    } catch (...) {
    }
    if (!autoSaveWaits) {
        try {
            fileStager_.cleanStagingDirectory();
        } catch (...) {
            logger->error("[App] Failed to clean staged files");
        }
    }
    try {
        FFmpegExportService::cleanExportDirectory();
    } catch (...) {
        logger->error("[App] Failed to clean export files");
    }
    try {
        // Project folders that a killed Save As left half built beside the
        // place it was saving to; those of a save still at work stay.
        ProjectPersistenceService::removeAbandonedSaves(
            ProjectPersistenceService::defaultUnfinishedSavesFolder());
    } catch (...) {
        logger->error("[App] Failed to clean unfinished saves");
    }
    try {
        KeychainService(legacyKeyService, legacyKeyAccount, environment_.secretStore).remove();
    } catch (...) {
        // Usually there is none; nothing depends on its removal.
    }
}

QCoro::Task<void> AppController::startEditor(QPointer<AppController> self) {
    if (!self || self->graph_) {
        co_return;
    }
    // Right before the graph, whose auto-save would write over another
    // editor's, and before the recovery offer.
    const bool alone = self->confirmAlone();
    self->graph_ = DependencyContainer::over(self->environment_)
                       .makeEditorGraph(alone ? DependencyContainer::AutoSave::written
                                              : DependencyContainer::AutoSave::none);
    self->window_->showEditor(*self->graph_);
    self->heapTrimmer_ = std::make_unique<HeapTrimmer>(
        self->environment_.releaseFreeHeap, self->environment_.logger, self->environment_.sleep);
    self->heapTrimmer_->watch(*self->graph_);
    self->connectQuitHooks();

    bool autoSaveWaits = false;
    try {
        autoSaveWaits = alone && self->autoSaveService_->exists();
    } catch (...) {
    }
    if (!alone) {
        QCoro::Task<int> telling = self->dialogs_->alert(unguardedNotice());
        co_await telling;
        if (!self) {
            co_return;
        }
    } else if (autoSaveWaits) {
        QCoro::Task<void> asking = offerRecovery(self);
        co_await asking;
        if (!self) {
            co_return;
        }
    }

    if (const std::optional<std::filesystem::path> folder = self->projectFolder_) {
        // Recovered work is unsaved: the user says first what becomes of it.
        QCoro::Task<void> opening =
            self->window_->commands().openProjectFolderWithConfirmation(*folder);
        co_await opening;
    }
}

void AppController::connectQuitHooks() {
    QPointer<MainViewModel> document(&graph_->mainViewModel());
    QuitController::Hooks hooks;
    hooks.isDirty = [document] { return document && document->isDirty(); };
    hooks.save = [document] { return saveDocument(document); };
    hooks.flushAutoSave = [document] { return flushDocument(document); };
    hooks.cleanUpAutoSave = [self = QPointer(this), service = autoSaveService_] {
        if (self && (self->recoveryPending_ || self->unguarded_)) {
            return;
        }
        try {
            service->remove();
        } catch (...) {
            // Left over, it only offers a recovery at the next start.
        }
    };
    quit_->setHooks(std::move(hooks));
}

QCoro::Task<void> AppController::offerRecovery(QPointer<AppController> self) {
    self->recoveryPending_ = true;
    QCoro::Task<int> asking = self->dialogs_->alert(recoveryQuestion());
    const int answer = co_await asking;
    if (!self) {
        co_return;
    }
    // Closed without an answer, the work stays where it is, offered again at
    // the next start.
    if (answer == RecoveryAnswer::recoverWork) {
        QCoro::Task<void> recovering = recover(self);
        co_await recovering;
    } else if (answer == RecoveryAnswer::discardWork) {
        QCoro::Task<void> discarding = discard(self);
        co_await discarding;
    }
}

QCoro::Task<void> AppController::recover(QPointer<AppController> self) {
    MainViewModel& document = self->graph_->mainViewModel();
    QCoro::Task<void> recovering = document.recoverAutoSave();
    co_await recovering;
    if (!self) {
        co_return;
    }
    // The editor started clean: it is dirty now exactly when the work was
    // recovered. A copy that did not load stays for a later start.
    self->recoveryPending_ = !document.isDirty();
}

QCoro::Task<void> AppController::discard(QPointer<AppController> self) {
    // The question may have waited long enough for another editor to start.
    if (!self->confirmAlone()) {
        co_return;
    }
    self->recoveryPending_ = false;
    try {
        self->autoSaveService_->remove();
    } catch (...) {
    }
    try {
        auto clean = [] { FileStager().cleanStagingDirectory(); };
        co_await runInBackground(QThreadPool::globalInstance(), std::move(clean));
    } catch (...) {
        if (self) {
            self->environment_.logger->error("[App] Failed to clean staged files after discard");
        }
    }
}

void AppController::takeHandOver(const std::optional<std::filesystem::path>& folder) {
    window_->bringToFront();
    if (!folder) {
        return;
    }
    lastHandOver_ =
        TaskHandle::start([self = QPointer(this), folder = *folder](
                              std::stop_token) { return openHandedFolder(self, folder); },
                          environment_.logger);
}

QCoro::Task<void> AppController::openHandedFolder(QPointer<AppController> self,
                                                  std::filesystem::path folder) {
    if (!self) {
        co_return;
    }
    QCoro::Task<TurnQueue::Turn> waiting = self->handOverTurns_.waitForTurn();
    const TurnQueue::Turn turn = co_await waiting;
    // The start-up may still be asking about recovered work, or opening the
    // folder it was started with: the handed one comes after.
    if (const std::optional<TaskHandle> startup = self ? self->startup_ : std::nullopt) {
        co_await startup->finished();
    }
    if (!self || self->graph_ == nullptr || self->quit_->isQuitAllowed()) {
        co_return;
    }
    QCoro::Task<void> opening =
        self->window_->commands().openProjectFolderWithConfirmation(std::move(folder));
    co_await opening;
}

void AppController::handleCommitData(QSessionManager& manager) {
    if (quit_->commitData(manager.allowsInteraction())) {
        manager.cancel();
    }
}

} // namespace vexel
