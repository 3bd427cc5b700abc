#include "presentation/viewmodels/MainViewModel.h"

#include "data/persistence/AutoSaveError.h"
#include "domain/entities/TrackType.h"
#include "foundation/CancellationError.h"
#include "presentation/viewmodels/DocumentMessages.h"
#include "presentation/viewmodels/MediaImport.h"
#include "presentation/viewmodels/runtime/BackgroundWork.h"

#include <QFile>
#include <QPointer>

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <typeinfo>
#include <utility>
#include <variant>

namespace vexel {

namespace {

constexpr const char* autoSaveFailedMessage = "Auto-save failed. Your changes may not be saved.";

// A type's name as written in code without its namespaces:
// "vexel::PersistenceError" -> "PersistenceError".
std::string unqualifiedTypeName(const std::type_info& type) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string name = status == 0 && demangled != nullptr ? demangled : type.name();
    std::free(demangled);
    const std::size_t template_ = name.find('<');
    const std::size_t separator = name.rfind("::", template_);
    return separator == std::string::npos ? name : name.substr(separator + 2);
}

// "<type name> — <description>" of the exception being handled.
std::string describeCurrentException() {
    try {
        throw;
    } catch (const std::exception& error) {
        return unqualifiedTypeName(typeid(error)) + " \u2014 " + error.what();
    } catch (...) {
        return "unknown \u2014 unknown error";
    }
}

std::filesystem::path localPath(const QUrl& url) {
    return std::filesystem::path(QFile::encodeName(url.toLocalFile()).toStdString());
}

} // namespace

MainViewModel::MainViewModel(TimelineViewModel& timelineViewModel,
                             std::shared_ptr<const FileStaging> fileStager,
                             std::shared_ptr<const MediaLoader> mediaLoader,
                             std::shared_ptr<const AutoSaveService> autoSaveService,
                             DocumentStorage storage, DocumentResets resets,
                             QSettings& userDefaults, std::shared_ptr<Logger> logger,
                             std::shared_ptr<const Clock> clock, SleepAction sleep,
                             std::chrono::duration<double> autoSaveDebounce, QThreadPool* worker,
                             QObject* parent)
    : QObject(parent)
    , timelineViewModel_(timelineViewModel)
    , fileStager_(std::move(fileStager))
    , mediaLoader_(std::move(mediaLoader))
    , stagingCount_(0, [this] { emit stagingCountChanged(); })
    , currentProjectURL_(std::nullopt, [this] { emit currentProjectURLChanged(); })
    , showSaveDialog_(false, [this] { emit showSaveDialogChanged(); })
    , savingCount_(0, [this] { emit savingCountChanged(); })
    , isDirty_(false, [this] { emit isDirtyChanged(); })
    , autoSaveService_(std::move(autoSaveService))
    , autoSaveDebounce_(autoSaveDebounce)
    , storage_(std::move(storage))
    , resets_(std::move(resets))
    , userDefaults_(userDefaults)
    , logger_(std::move(logger))
    , clock_(std::move(clock))
    , sleep_(std::move(sleep))
    , worker_(worker != nullptr ? worker : QThreadPool::globalInstance())
    , autoSave_(logger_) {
    autoSaveWorker_.setMaxThreadCount(1);
}

void MainViewModel::setShowSaveDialog(bool show) {
    showSaveDialog_.set(show);
}

void MainViewModel::setIsDirty(bool dirty) {
    isDirty_.set(dirty);
}

QCoro::Task<void> MainViewModel::newProject() {
    // At once when no edit is under way; else once the running one has landed
    // (on the old document). Runs on by itself when the task is dropped.
    return startAfreshInTurn(Project::makeNew(Project::defaultMaxDuration));
}

QCoro::Task<void> MainViewModel::startAfreshInTurn(Project project) {
    QPointer self(this);
    const TurnQueue::Turn turn = co_await timelineViewModel_.holdEdits();
    if (self) {
        startAfresh(std::move(project), std::nullopt);
    }
}

QCoro::Task<void> MainViewModel::loadProject(std::filesystem::path folder) {
    QPointer self(this);
    // No edit runs while the folder is read and its project replaces the
    // document: one already inside the engine lands first, on the old
    // document; those asked for meanwhile are dropped once the new one is
    // there (or, if the folder does not open, run on the old one).
    const TurnQueue::Turn turn = co_await timelineViewModel_.holdEdits();
    if (!self) {
        co_return;
    }
    std::optional<OpenedProject> opened;
    try {
        opened = co_await storage_.load(folder);
    } catch (const CancellationError&) {
        co_return;
    } catch (...) {
        if (self) {
            logger_->error("[Load] load failed: " + describeCurrentException());
            pushError(documentmessages::openFailed(folder, std::current_exception()));
        }
        co_return;
    }
    if (!self) {
        co_return;
    }
    startAfresh(std::move(opened->project), std::move(folder));
    // After the fresh start, which empties the banner.
    if (const std::vector<UnavailableMedia>& unavailable = opened->unavailableMedia;
        !unavailable.empty()) {
        pushError(documentmessages::unavailableMedia(unavailable),
                  documentmessages::unavailableMediaDetail(unavailable));
    }
}

QCoro::Task<void> MainViewModel::recoverAutoSave() {
    QPointer self(this);
    const std::shared_ptr<const AutoSaveService> service = autoSaveService_;
    if (!service) {
        co_return;
    }
    const TurnQueue::Turn turn = co_await timelineViewModel_.holdEdits();
    if (!self) {
        co_return;
    }
    std::optional<Project> recovered;
    try {
        // On the auto-save's own thread: after any write still under way.
        auto load = [service] { return service->load(); };
        recovered = co_await runInBackground(&autoSaveWorker_, std::move(load));
    } catch (...) {
        if (self) {
            logger_->error("[App] Failed to recover from auto-save");
            // Work that is there but was not opened is worth telling about;
            // an auto-save that is damaged or gone is not.
            try {
                throw;
            } catch (const AutoSaveError& error) {
                pushError(error.userMessage());
            } catch (...) {
            }
        }
        co_return;
    }
    if (!self) {
        co_return;
    }
    timelineViewModel_.setProject(recovered->ensuringDefaultAudioTracks());
    isDirty_.set(true);
}

void MainViewModel::startAfresh(Project project, std::optional<std::filesystem::path> folder) {
    if (resets_.prepareInstructionsForNewProject) {
        resets_.prepareInstructionsForNewProject();
    }
    if (resets_.endTutorial) {
        resets_.endTutorial();
    }
    ErrorBannerViewModel& banner = timelineViewModel_.errorViewModel();
    banner.cancelAutoDismiss();
    banner.setCurrentError(std::nullopt);
    banner.clearHistory();
    // The timeline tells the application, which sets the document dirty and
    // schedules an auto-save of it; the document itself starts clean.
    timelineViewModel_.setProject(std::move(project));
    currentProjectURL_.set(std::move(folder));
    isDirty_.set(false);
}

QCoro::Task<void> MainViewModel::saveProject() {
    return saveInTurn(std::nullopt);
}

QCoro::Task<void> MainViewModel::saveTo(std::filesystem::path folder) {
    return saveInTurn(std::move(folder));
}

QCoro::Task<void> MainViewModel::saveInTurn(std::optional<std::filesystem::path> folder) {
    QPointer self(this);
    savingCount_.set(savingCount() + 1);
    // The document's folder changes only once a save there has succeeded, so
    // a save asked for meanwhile (Save right after Save As) waits for it to
    // learn where the document is.
    const TurnQueue::Turn turn = co_await saveTurns_.waitForTurn();
    if (!self) {
        co_return;
    }
    if (!folder) {
        folder = currentProjectURL();
    }
    if (folder) {
        co_await performSave(std::move(*folder));
    } else {
        showSaveDialog_.set(true);
    }
    if (self) {
        savingCount_.set(savingCount() - 1);
    }
}

QCoro::Task<void> MainViewModel::performSave(std::filesystem::path folder) {
    QPointer self(this);
    const std::uint64_t changesBefore = changeCount_;
    const std::uint64_t document = timelineViewModel_.documentEpoch();
    std::optional<MediaRelocation> relocation;
    try {
        relocation = co_await storage_.save(folder, currentProjectURL());
    } catch (...) {
        if (self) {
            logger_->error("[Save] save failed");
            documentmessages::FailureText failure =
                documentmessages::saveFailed(folder, std::current_exception());
            pushError(std::move(failure.message), std::move(failure.detail));
        }
    }
    if (!self) {
        co_return;
    }
    const bool saved = relocation.has_value();
    if (saved && document == timelineViewModel_.documentEpoch()) {
        currentProjectURL_.set(folder);
    }
    if (saved && !relocation->empty()) {
        co_await moveOntoCopies(std::move(*relocation), document);
        if (!self) {
            co_return;
        }
    }
    // A change made while the save ran may have missed the file: the document
    // then stays dirty, and the auto-save that change scheduled stays too, so
    // quitting still asks and a crash still leaves the change to recover.
    if (saved && changeCount_ == changesBefore) {
        isDirty_.set(false);
        // Nothing is left unsaved: an auto-save still waiting would only put
        // saved work back on disk, to be offered for recovery after a crash.
        autoSave_.cancel();
        oldestUnwrittenChange_.reset();
        if (const std::shared_ptr<const AutoSaveService> service = autoSaveService_) {
            auto remove = [service] {
                try {
                    service->remove();
                } catch (...) {
                    // A stale auto-save only offers a recovery at the next start.
                }
            };
            co_await runInBackground(&autoSaveWorker_, std::move(remove));
        }
    }
}

void MainViewModel::scheduleAutoSave(Project project) {
    ++changeCount_;
    const std::chrono::system_clock::time_point now = clock_->now();
    if (!oldestUnwrittenChange_) {
        oldestUnwrittenChange_ = now;
    }
    const std::chrono::duration<double> waited = now - *oldestUnwrittenChange_;
    const std::chrono::duration<double> delay =
        std::max(std::chrono::duration<double>::zero(),
                 std::min(autoSaveDebounce_, autoSaveMaxDelay - waited));
    autoSave_.start([self = QPointer(this), project = std::move(project),
                     service = autoSaveService_, sleep = sleep_,
                     delay](std::uint64_t, std::stop_token stop) -> QCoro::Task<void> {
        try {
            co_await sleep(delay, stop);
        } catch (...) {
            co_return;
        }
        if (stop.stop_requested() || !self) {
            co_return;
        }
        // Every change so far is in this project: the next one starts the
        // wait afresh.
        self->oldestUnwrittenChange_.reset();
        co_await self->writeAutoSave(service, project, "[AutoSave] Failed to auto-save");
    });
}

QCoro::Task<void> MainViewModel::flushAutoSave() {
    autoSave_.cancel();
    oldestUnwrittenChange_.reset();
    if (!isDirty()) {
        co_return;
    }
    co_await writeAutoSave(autoSaveService_, timelineViewModel_.project(),
                           "[AutoSave] flush failed");
}

QCoro::Task<void> MainViewModel::writeAutoSave(std::shared_ptr<const AutoSaveService> service,
                                               Project project, std::string failureLog) {
    QPointer self(this);
    if (!service) {
        lastAutoSaveFailure_.reset();
        co_return;
    }
    std::exception_ptr failure;
    try {
        auto save = [service, project = std::move(project)] { service->save(project); };
        co_await runInBackground(&autoSaveWorker_, std::move(save));
    } catch (...) {
        failure = std::current_exception();
        if (self) {
            logger_->error(failureLog);
        }
    }
    if (!self) {
        co_return;
    }
    if (!failure) {
        lastAutoSaveFailure_.reset();
    } else {
        handleAutoSaveFailure(documentmessages::autoSaveFailureDetail(failure));
    }
}

void MainViewModel::handleAutoSaveFailure(std::optional<std::string> detail) {
    const std::chrono::system_clock::time_point now = clock_->now();
    if (lastAutoSaveFailure_ && now - *lastAutoSaveFailure_ < autoSaveFailureNoticeInterval) {
        return;
    }
    lastAutoSaveFailure_ = now;
    pushError(autoSaveFailedMessage, std::move(detail));
}

QCoro::Task<void> MainViewModel::addFiles(std::vector<QUrl> urls) {
    QPointer self(this);
    stagingCount_.set(stagingCount() + 1);
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            continue;
        }
        const std::filesystem::path file = localPath(url);
        // Shown and stored as text, while the file is opened by its own bytes.
        const std::string name = url.fileName().toStdString();

        // Whatever the panel let through is taken as the drop takes it; a
        // file the user chose is never passed over without a word.
        std::optional<TrackType> type = mediaimport::trackTypeByName(file);
        if (!type) {
            auto probe = [loader = mediaLoader_, file] {
                return mediaimport::kindOf(file, *loader);
            };
            const mediaimport::Kind kind = co_await runInBackground(worker_, std::move(probe));
            if (!self) {
                co_return;
            }
            if (!kind.type) {
                logger_->error("[FilePicker] addClip failed");
                pushError(mediaimport::failedToAdd(name, kind.failure));
                continue;
            }
            type = kind.type;
        }

        // The staged copy, or why there is none.
        using Staging = std::variant<std::filesystem::path, std::string>;
        auto stage = [stager = fileStager_, file]() -> Staging {
            try {
                return stager->stage(file, std::nullopt);
            } catch (...) {
                return mediaimport::whyNotStaged(file);
            }
        };
        const Staging staged = co_await runInBackground(worker_, std::move(stage));
        if (!self) {
            co_return;
        }
        if (const auto* reason = std::get_if<std::string>(&staged)) {
            logger_->error("[FilePicker] staging failed");
            pushError(mediaimport::failedToAdd(name, *reason));
            continue;
        }

        bool cancelled = false;
        try {
            co_await timelineViewModel_.addClip(std::get<std::filesystem::path>(staged), *type,
                                                std::nullopt, name);
        } catch (const CancellationError&) {
            cancelled = true;
        } catch (...) {
            if (self) {
                logger_->error("[FilePicker] addClip failed");
                pushError(mediaimport::failedToAdd(name, std::current_exception()));
            }
        }
        if (!self || cancelled) {
            break;
        }
    }
    if (self) {
        stagingCount_.set(stagingCount() - 1);
    }
}

QCoro::Task<void> MainViewModel::moveOntoCopies(MediaRelocation relocation,
                                                std::uint64_t document) {
    QPointer self(this);
    // No edit may be inside the engine: its result, made from the project
    // with the old paths, would land after the move and undo it.
    const TurnQueue::Turn turn = co_await timelineViewModel_.holdEdits();
    if (!self || document != timelineViewModel_.documentEpoch()) {
        co_return;
    }
    timelineViewModel_.relocateMedia(relocation);
    if (storage_.relocate) {
        storage_.relocate(relocation);
    }
}

void MainViewModel::pushError(std::string message, std::optional<std::string> detail) {
    timelineViewModel_.errorViewModel().pushError(AppError::make(
        ErrorCategory::fileImport, std::move(message), clock_->now(), std::move(detail)));
}

} // namespace vexel
