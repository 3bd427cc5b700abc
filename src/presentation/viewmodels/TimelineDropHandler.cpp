#include "presentation/viewmodels/TimelineDropHandler.h"

#include "foundation/CancellationError.h"
#include "foundation/UnicodeText.h"
#include "presentation/viewmodels/AppError.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/viewmodels/runtime/TaskHandle.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaObject>
#include <QMimeDatabase>

#include <array>
#include <utility>

namespace vexel {

namespace {

// The name the item came with; none when the URL has no last component.
std::optional<std::string> suggestedName(const QUrl& url) {
    const QString name = url.fileName();
    if (name.isEmpty()) {
        return std::nullopt;
    }
    return unicode::replacingInvalidUtf8(name.toStdString());
}

std::string cutForMessage(const std::optional<std::string>& name, std::string_view fallback) {
    return unicode::graphemePrefix(name.value_or(std::string(fallback)),
                                   TimelineDropHandler::messageNameLength);
}

// Runs `work` on the GUI thread once the events queued before it are handled,
// even when called from a worker.
template <class Work> void onGuiThread(Work work) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(work), Qt::QueuedConnection);
}

} // namespace

TimelineDropHandler::TimelineDropHandler(std::shared_ptr<const FileStaging> fileStager,
                                         TimelineViewModel& viewModel,
                                         std::shared_ptr<Logger> logger, QThreadPool* pool,
                                         std::shared_ptr<const Clock> clock, QObject* parent)
    : QObject(parent)
    , fileStager_(std::move(fileStager))
    , viewModel_(&viewModel)
    , logger_(std::move(logger))
    , pool_(pool)
    , clock_(std::move(clock)) {}

std::optional<TrackType> TimelineDropHandler::detectTrackType(const QUrl& url) {
    const QString name = url.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0) {
        if (const std::optional<TrackType> type = inferTrackType(name.mid(dot + 1).toStdString())) {
            return type;
        }
    }
    if (name.isEmpty()) {
        return std::nullopt;
    }
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    QStringList kinds = mime.allAncestors();
    kinds.prepend(mime.name());
    constexpr std::array<std::pair<const char*, TrackType>, 3> prefixes{
        {{"video/", TrackType::video}, {"audio/", TrackType::audio}, {"image/", TrackType::image}}};
    for (const auto& [prefix, type] : prefixes) {
        for (const QString& kind : kinds) {
            if (kind.startsWith(QLatin1String(prefix))) {
                return type;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string>
TimelineDropHandler::skippedFilesMessage(const std::vector<std::string>& names) {
    if (names.empty()) {
        return std::nullopt;
    }
    std::string message = "Unsupported format: ";
    for (std::size_t i = 0; i < names.size() && i < 3; ++i) {
        message += (i > 0 ? ", " : "") + names[i];
    }
    if (names.size() > 3) {
        message += " and " + std::to_string(names.size() - 3) + " more";
    }
    return message + ". Supported: mp4, mov, mp3, wav, jpg, png, etc.";
}

void TimelineDropHandler::handleDrop(const std::vector<QUrl>& urls) {
    std::vector<std::pair<QUrl, TrackType>> usable;
    std::vector<std::string> skipped;
    for (const QUrl& url : urls) {
        if (const std::optional<TrackType> type = detectTrackType(url)) {
            usable.emplace_back(url, *type);
        } else {
            skipped.push_back(cutForMessage(suggestedName(url), "unknown file"));
        }
    }
    if (usable.empty()) {
        fail("No supported file types in drop");
        return;
    }
    viewModel_->setImportingCount(viewModel_->importingCount() + static_cast<int>(usable.size()));
    if (const std::optional<std::string> message = skippedFilesMessage(skipped)) {
        fail(*message);
    }
    for (const auto& [url, type] : usable) {
        stageAndAdd(url, type);
    }
}

void TimelineDropHandler::stageAndAdd(const QUrl& url, TrackType type) {
    const std::optional<std::string> suggested = suggestedName(url);
    const std::string displayName = cutForMessage(suggested, "unknown");
    const QPointer<TimelineDropHandler> self(this);
    if (!url.isLocalFile()) {
        // Only files on this machine can be imported.
        logger_->error("[Drop] loadFileRepresentation failed");
        onGuiThread([self, displayName] {
            if (self && self->viewModel_) {
                self->viewModel_->endImport();
                self->fail("Failed to load " + displayName);
            }
        });
        return;
    }
    // Opened by its own bytes, shown and stored as text.
    const std::filesystem::path file(QFile::encodeName(url.toLocalFile()).toStdString());
    const std::string originalName =
        suggested.value_or(unicode::replacingInvalidUtf8(file.filename().string()));
    pool_->start([self, stager = fileStager_, logger = logger_, file, suggested, type, originalName,
                  displayName] {
        std::optional<std::filesystem::path> staged;
        try {
            staged = stager->stage(file, suggested);
        } catch (...) {
            logger->error("[Drop] staging failed");
        }
        onGuiThread([self, staged, type, originalName, displayName] {
            if (!self || !self->viewModel_) {
                return;
            }
            if (!staged) {
                self->viewModel_->endImport();
                self->fail("Failed to add " + displayName);
                return;
            }
            self->addStaged(*staged, type, originalName, displayName);
        });
    });
}

void TimelineDropHandler::addStaged(std::filesystem::path staged, TrackType type,
                                    std::string originalName, std::string displayName) {
    const QPointer<TimelineDropHandler> self(this);
    const QPointer<TimelineViewModel> viewModel = viewModel_;
    TaskHandle::start(
        [self, viewModel, staged = std::move(staged), type, originalName = std::move(originalName),
         displayName = std::move(displayName)](std::stop_token) -> QCoro::Task<void> {
            if (!viewModel) {
                co_return;
            }
            bool failed = false;
            try {
                QCoro::Task<void> add =
                    viewModel->addClip(staged, type, std::nullopt, originalName);
                co_await std::move(add);
            } catch (const CancellationError&) {
                // The timeline is going away with its window: nobody to tell.
            } catch (...) {
                failed = true;
            }
            if (failed && self) {
                self->logger_->error("[Drop] addClip failed");
                self->fail("Failed to add " + displayName);
            }
            if (viewModel) {
                viewModel->endImport();
            }
        },
        logger_);
}

void TimelineDropHandler::fail(std::string message) {
    if (viewModel_) {
        viewModel_->errorViewModel().pushError(
            AppError::make(ErrorCategory::fileImport, std::move(message), clock_->now()));
    }
}

} // namespace vexel
