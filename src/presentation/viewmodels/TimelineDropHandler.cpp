#include "presentation/viewmodels/TimelineDropHandler.h"

#include "foundation/CancellationError.h"
#include "foundation/UnicodeText.h"
#include "presentation/viewmodels/AppError.h"
#include "presentation/viewmodels/MediaImport.h"
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

// Opened by its own bytes, shown and stored as text.
std::filesystem::path localPath(const QUrl& url) {
    return std::filesystem::path(QFile::encodeName(url.toLocalFile()).toStdString());
}

} // namespace

TimelineDropHandler::TimelineDropHandler(std::shared_ptr<const FileStaging> fileStager,
                                         std::shared_ptr<const MediaLoader> mediaLoader,
                                         TimelineViewModel& viewModel,
                                         std::shared_ptr<Logger> logger, QThreadPool* pool,
                                         std::shared_ptr<const Clock> clock, QObject* parent)
    : QObject(parent)
    , fileStager_(std::move(fileStager))
    , mediaLoader_(std::move(mediaLoader))
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
    std::vector<std::size_t> unnamed;
    for (std::size_t index = 0; index < urls.size(); ++index) {
        if (urls[index].isLocalFile() && !mediaimport::trackTypeByName(localPath(urls[index]))) {
            unnamed.push_back(index);
        }
    }
    if (unnamed.empty()) {
        sortAndImport(urls, std::vector<std::optional<TrackType>>(urls.size()), 0);
        return;
    }
    // Files are never read on the GUI thread; meanwhile the timeline shows
    // them as coming.
    const int looking = static_cast<int>(unnamed.size());
    viewModel_->setImportingCount(viewModel_->importingCount() + looking);
    const QPointer<TimelineDropHandler> self(this);
    pool_->start([self, loader = mediaLoader_, urls, unnamed, looking] {
        std::vector<std::optional<TrackType>> byContent(urls.size());
        for (const std::size_t index : unnamed) {
            byContent[index] = mediaimport::kindOf(localPath(urls[index]), *loader).type;
        }
        onGuiThread([self, urls, byContent = std::move(byContent), looking] {
            if (self && self->viewModel_) {
                self->sortAndImport(urls, byContent, looking);
            }
        });
    });
}

void TimelineDropHandler::sortAndImport(const std::vector<QUrl>& urls,
                                        const std::vector<std::optional<TrackType>>& byContent,
                                        int looking) {
    std::vector<std::pair<QUrl, TrackType>> usable;
    std::vector<std::string> skipped;
    for (std::size_t index = 0; index < urls.size(); ++index) {
        const QUrl& url = urls[index];
        // A file whose content told nothing keeps the name's media type, so
        // that a damaged movie is reported as such when it is added.
        if (const std::optional<TrackType> type =
                byContent[index] ? byContent[index] : detectTrackType(url)) {
            usable.emplace_back(url, *type);
        } else {
            skipped.push_back(cutForMessage(suggestedName(url), "unknown file"));
        }
    }
    // One change of the count: it never passes through zero on the way.
    viewModel_->setImportingCount(viewModel_->importingCount() - looking +
                                  static_cast<int>(usable.size()));
    if (usable.empty()) {
        fail("No supported file types in drop");
        return;
    }
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
    const std::filesystem::path file = localPath(url);
    const std::string originalName =
        suggested.value_or(unicode::replacingInvalidUtf8(file.filename().string()));
    pool_->start([self, stager = fileStager_, logger = logger_, file, suggested, type, originalName,
                  displayName] {
        std::optional<std::filesystem::path> staged;
        std::string notStaged;
        try {
            staged = stager->stage(file, suggested);
        } catch (...) {
            logger->error("[Drop] staging failed");
            notStaged = mediaimport::whyNotStaged(file);
        }
        onGuiThread([self, staged, notStaged, type, originalName, displayName] {
            if (!self || !self->viewModel_) {
                return;
            }
            if (!staged) {
                self->viewModel_->endImport();
                self->fail(mediaimport::failedToAdd(displayName, notStaged));
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
            std::exception_ptr failure;
            try {
                QCoro::Task<void> add =
                    viewModel->addClip(staged, type, std::nullopt, originalName);
                co_await std::move(add);
            } catch (const CancellationError&) {
                // The timeline is going away with its window: nobody to tell.
            } catch (...) {
                failure = std::current_exception();
            }
            if (failure && self) {
                self->logger_->error("[Drop] addClip failed");
                self->fail(mediaimport::failedToAdd(displayName, failure));
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
