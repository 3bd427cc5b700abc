#include "presentation/viewmodels/TimelineViewModel.h"

#include "foundation/CancellationError.h"

#include <QPointer>

#include <algorithm>
#include <utility>

namespace vexel {

namespace {

double computeTotalDuration(const Project& project) {
    double total = 0;
    for (const Track& track : project.tracks) {
        for (const Clip& clip : track.clips) {
            total = std::max(total, clip.timeRange.endTime());
        }
    }
    return total;
}

bool containsClip(const Project& project, const Uuid& clipId) {
    return project.findClip(clipId) != nullptr;
}

// The view model may be gone when the engine answers (the window closed): the
// answer is then dropped and the caller sees a cancellation.
void throwIfGone(const QPointer<TimelineViewModel>& self) {
    if (!self) {
        throw CancellationError();
    }
}

} // namespace

TimelineViewModel::TimelineViewModel(Project project, ErrorBannerViewModel& errorViewModel,
                                     WrappedEditCommandExecutor commandExecutor, double zoomLevel,
                                     int historyDepth, QObject* parent)
    : QObject(parent)
    , project_(std::move(project), [this] { emit projectChanged(); })
    , errorViewModel_(errorViewModel)
    , totalDuration_(computeTotalDuration(project_.get()), [this] { emit totalDurationChanged(); })
    , canUndo_(false, [this] { emit canUndoChanged(); })
    , canRedo_(false, [this] { emit canRedoChanged(); })
    , selectedClipId_(std::nullopt, [this] { emit selectedClipIdChanged(); })
    , importingCount_(0, [this] { emit importingCountChanged(); })
    , zoomLevel_(zoomLevel, [this] { emit zoomLevelChanged(); })
    , commandExecutor_(std::move(commandExecutor))
    , historyDepth_(historyDepth)
    , editHistory_{historyDepth, {}, {}} {}

void TimelineViewModel::setSelectedClipId(std::optional<Uuid> clipId) {
    selectedClipId_.set(clipId);
}

void TimelineViewModel::setImportingCount(int count) {
    importingCount_.set(count);
}

void TimelineViewModel::setZoomLevel(double zoomLevel) {
    zoomLevel_.set(zoomLevel);
}

double TimelineViewModel::displayDuration() const {
    const double total = totalDuration();
    if (total > 0) {
        return std::min(std::max(total * 1.1, 10.0), project().maxDuration);
    }
    return 60.0;
}

void TimelineViewModel::setOnProjectSync(ProjectSync onProjectSync) {
    onProjectSync_ = std::move(onProjectSync);
}

void TimelineViewModel::setProject(Project project) {
    ++documentEpoch_;
    editHistory_ = EditHistory{historyDepth_, {}, {}};
    syncHistoryState();
    selectedClipId_.set(std::nullopt);
    // Another document is a change even when it equals the one shown (the
    // folder just saved, opened again): the preview starts it afresh.
    if (!show(std::move(project))) {
        emit projectChanged();
    }
    notifyProjectSync();
}

void TimelineViewModel::relocateMedia(const MediaRelocation& relocation) {
    if (relocation.empty()) {
        return;
    }
    for (std::vector<Project>* stack : {&editHistory_.undoStack, &editHistory_.redoStack}) {
        for (Project& snapshot : *stack) {
            snapshot = relocation.applied(std::move(snapshot));
        }
    }
    show(relocation.applied(project()));
}

QCoro::Task<void> TimelineViewModel::executeCommand(EditCommand command) {
    return applyEdit(
        [this, command = std::move(command)] { return commandExecutor_.execute(command); }, true);
}

QCoro::Task<TurnQueue::Turn> TimelineViewModel::holdEdits() {
    return engineTurns_.waitForTurn();
}

bool TimelineViewModel::isCurrent(std::uint64_t documentEpoch, bool engineRan) {
    if (documentEpoch == documentEpoch_) {
        return true;
    }
    if (engineRan) {
        notifyProjectSync();
    }
    return false;
}

QCoro::Task<void> TimelineViewModel::applyEdit(std::function<QCoro::Task<Project>()> callEngine,
                                               bool checkSelection) {
    const QPointer self(this);
    const std::uint64_t epoch = documentEpoch_;
    const TurnQueue::Turn turn = co_await engineTurns_.waitForTurn();
    throwIfGone(self);
    if (!isCurrent(epoch, false)) {
        throw CancellationError();
    }
    Project oldProject = project();
    QCoro::Task<Project> engine = callEngine();
    Project newProject = co_await engine;
    throwIfGone(self);
    if (!isCurrent(epoch, true)) {
        throw CancellationError();
    }
    editHistory_.pushSnapshot(std::move(oldProject));
    syncHistoryState();
    show(std::move(newProject));
    if (checkSelection) {
        clearSelectionIfClipRemoved();
    }
    notifyProjectSync();
}

QCoro::Task<void> TimelineViewModel::executeCommands(std::vector<EditCommand> commands) {
    if (commands.empty()) {
        co_return;
    }
    const QPointer self(this);
    const std::uint64_t epoch = documentEpoch_;
    const TurnQueue::Turn turn = co_await engineTurns_.waitForTurn();
    throwIfGone(self);
    if (!isCurrent(epoch, false)) {
        throw CancellationError();
    }
    // Taken in this turn, so that it is exactly the project the batch
    // replaces: nothing else changes the document until the turn is dropped.
    Project preBatchProject = project();
    std::optional<Project> newProject;
    try {
        newProject = co_await commandExecutor_.executeBatch(std::move(commands));
    } catch (...) {
        throwIfGone(self);
        // The engine has already put the pre-batch project back into the
        // repository; showing and syncing it again makes sure every observer
        // agrees on it. The history is left alone. A document replaced
        // meanwhile is left as it is.
        if (isCurrent(epoch, false)) {
            show(preBatchProject);
            notifyProjectSync();
        }
        throw;
    }
    throwIfGone(self);
    if (!isCurrent(epoch, true)) {
        throw CancellationError();
    }
    show(std::move(*newProject));
    editHistory_.pushSnapshot(std::move(preBatchProject));
    syncHistoryState();
    clearSelectionIfClipRemoved();
    notifyProjectSync();
}

void TimelineViewModel::undo() {
    stepHistory(&EditHistory::undoFrom);
}

void TimelineViewModel::redo() {
    stepHistory(&EditHistory::redoFrom);
}

void TimelineViewModel::stepHistory(HistoryStep step) {
    if (engineTurns_.isFree()) {
        restore((editHistory_.*step)(project()));
        return;
    }
    // Runs on by itself; its coroutine frees itself at the end.
    stepHistoryInTurn(step, documentEpoch_);
}

QCoro::Task<void> TimelineViewModel::stepHistoryInTurn(HistoryStep step,
                                                       std::uint64_t documentEpoch) {
    const QPointer self(this);
    const TurnQueue::Turn turn = co_await engineTurns_.waitForTurn();
    if (!self || !isCurrent(documentEpoch, false)) {
        co_return;
    }
    restore((editHistory_.*step)(project()));
}

void TimelineViewModel::restore(std::optional<Project> snapshot) {
    if (!snapshot) {
        return;
    }
    syncHistoryState();
    selectedClipId_.set(std::nullopt);
    show(std::move(*snapshot));
    notifyProjectSync();
}

QCoro::Task<void> TimelineViewModel::addClip(std::filesystem::path url, TrackType trackType,
                                             std::optional<double> at,
                                             std::optional<std::string> originalName) {
    return applyEdit(
        [this, url = std::move(url), trackType, at, originalName = std::move(originalName)] {
            return commandExecutor_.addClipFromURL(url, trackType, at, originalName);
        },
        false);
}

QCoro::Task<void> TimelineViewModel::moveClip(Uuid clipId, double newStart) {
    return executeCommand(EditCommand::Move{clipId, newStart, std::nullopt});
}

QCoro::Task<void> TimelineViewModel::moveTextOverlay(Uuid id, double newStart) {
    const std::vector<Clip> textClips = project().textClips();
    const auto clip = std::find_if(textClips.begin(), textClips.end(),
                                   [&](const Clip& candidate) { return candidate.id == id; });
    if (clip == textClips.end()) {
        co_return;
    }
    const double duration = clip->timeRange.duration;
    const double start =
        std::min(std::max(newStart, 0.0), std::max(project().maxDuration - duration, 0.0));
    EditCommand::EditText edit;
    edit.textId = id;
    edit.timeRange = TimeRange{start, duration};
    co_await executeCommand(std::move(edit));
}

QCoro::Task<void> TimelineViewModel::splitSelectedClipAtPlayhead(double playheadTime) {
    const std::optional<Uuid> selected = selectedClipId();
    if (!selected) {
        co_return;
    }
    EditCommand split = EditCommand::Split{*selected, playheadTime};
    co_await executeCommand(std::move(split));
}

void TimelineViewModel::selectClip(const Uuid& id) {
    if (containsClip(project(), id)) {
        selectedClipId_.set(id);
    }
}

void TimelineViewModel::zoomIn() {
    zoomLevel_.set(std::min(std::max(zoomLevel() * zoomStep, minZoomLevel), maxZoomLevel));
}

void TimelineViewModel::zoomOut() {
    zoomLevel_.set(std::min(std::max(zoomLevel() / zoomStep, minZoomLevel), maxZoomLevel));
}

void TimelineViewModel::endImport() {
    importingCount_.set(std::max(importingCount() - 1, 0));
}

bool TimelineViewModel::show(Project project) {
    const double totalDuration = computeTotalDuration(project);
    const bool changed = project_.set(std::move(project));
    totalDuration_.set(totalDuration);
    return changed;
}

void TimelineViewModel::syncHistoryState() {
    canUndo_.set(editHistory_.canUndo());
    canRedo_.set(editHistory_.canRedo());
}

void TimelineViewModel::clearSelectionIfClipRemoved() {
    const std::optional<Uuid>& selected = selectedClipId();
    if (selected && !containsClip(project(), *selected)) {
        selectedClipId_.set(std::nullopt);
    }
}

void TimelineViewModel::notifyProjectSync() {
    if (onProjectSync_) {
        onProjectSync_(project());
    }
}

} // namespace vexel
