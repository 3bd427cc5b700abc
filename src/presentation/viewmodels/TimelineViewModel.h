#pragma once

#include "domain/entities/EditCommand.h"
#include "domain/entities/EditHistory.h"
#include "domain/entities/MediaRelocation.h"
#include "domain/entities/Project.h"
#include "domain/entities/TrackType.h"
#include "foundation/Uuid.h"
#include "presentation/viewmodels/ErrorBannerViewModel.h"
#include "presentation/viewmodels/WrappedEditCommandExecutor.h"
#include "presentation/viewmodels/runtime/Observable.h"
#include "presentation/viewmodels/runtime/TurnQueue.h"

#include <QCoro/QCoroTask>
#include <QObject>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vexel {

// The editing façade of the window: the one place on the GUI thread through
// which every change of the document passes. Runs single commands and
// all-or-nothing batches through the edit engine, keeps the whole-project undo
// history, the selection, the zoom and the count of imports in flight, and
// hands every new project to `onProjectSync`, through which the rest of the
// application (repository, dirty flag, auto-save) learns of it.
//
// Edit failures are never reported here: the project and history stay as they
// were and the engine's error reaches the caller, who shows it.
//
// The operations that go through the engine, undo and redo take turns, in the
// order they were asked for: each waits until the one before it has shown and
// synced its result, then captures the project as its undo step. Were they to
// overlap, a result synced late would write an older project over a newer one
// in the repository (or over an undo), and an edit would be lost. Undo and
// redo act at once when nothing is running or waiting. Everything else
// (selection, zoom) acts at once.
//
// Replacing the document starts a new one: what was asked for on the old one
// and still waits for its turn is dropped (an edit ends with CancellationError),
// and a result the engine brings back for the old one is never shown. Those
// who replace the document hold a turn of their own (holdEdits) so that no
// edit is inside the engine while they do.
class TimelineViewModel : public QObject {
    Q_OBJECT

public:
    using ProjectSync = std::function<void(const Project&)>;

    static constexpr double zoomStep = 1.25;
    static constexpr double minZoomLevel = 0.5;
    static constexpr double maxZoomLevel = 10.0;

    TimelineViewModel(Project project, ErrorBannerViewModel& errorViewModel,
                      WrappedEditCommandExecutor commandExecutor, double zoomLevel = 1.0,
                      int historyDepth = EditHistory::defaultMaxDepth, QObject* parent = nullptr);

    // The document as the timeline shows it.
    const Project& project() const { return project_.get(); }
    // The window's banner; other view models push their errors through it.
    ErrorBannerViewModel& errorViewModel() const { return errorViewModel_; }
    // The end of the latest clip of any track; 0 without clips.
    double totalDuration() const { return totalDuration_.get(); }
    bool canUndo() const { return canUndo_.get(); }
    bool canRedo() const { return canRedo_.get(); }

    const std::optional<Uuid>& selectedClipId() const { return selectedClipId_.get(); }
    // Views may assign any id, or none to deselect.
    void setSelectedClipId(std::optional<Uuid> clipId);

    // Drops being imported: raised by the drop handling, lowered by endImport().
    int importingCount() const { return importingCount_.get(); }
    void setImportingCount(int count);

    // Assignment is not clamped; zoomIn() and zoomOut() keep to 0.5 ... 10.
    double zoomLevel() const { return zoomLevel_.get(); }
    void setZoomLevel(double zoomLevel);

    // The length of timeline the views lay out: a tenth more than the content,
    // at least 10 s and at most the project's maximum; 60 s for an empty
    // project. Changes with totalDuration and project.
    double displayDuration() const;

    // The engine, also for the export of the instruction road.
    const WrappedEditCommandExecutor& commandExecutor() const { return commandExecutor_; }

    // Told of every new project, once per change, after this view model shows it.
    void setOnProjectSync(ProjectSync onProjectSync);

    // Replaces the document wholesale; the history starts empty. Edits, undos
    // and redos asked for before and still waiting are dropped. Best called
    // holding holdEdits(): an edit inside the engine otherwise writes its
    // result into the repository late, and the new project is then synced
    // once more when that result comes back (and is dropped).
    void setProject(Project project);
    // Which document is shown: raised by every setProject() (a new, opened or
    // recovered project), never by an edit, undo or redo.
    std::uint64_t documentEpoch() const { return documentEpoch_; }

    // Moves the document and every undo and redo step onto the copies that a
    // save made of its media, so that no step brings back a file that may
    // since be gone. The same document, so no undo step, no onProjectSync and
    // the selection stays. Best called holding holdEdits(): an edit inside the
    // engine would bring back the project it started from.
    void relocateMedia(const MediaRelocation& relocation);

    // A turn of the caller's own: completes once every edit, undo and redo
    // asked for before it has ended, and holds later ones back until it is
    // dropped. For replacing the document with nothing under way.
    QCoro::Task<TurnQueue::Turn> holdEdits();

    // One command, one undo step.
    QCoro::Task<void> executeCommand(EditCommand command);
    // All or nothing, one undo step for the whole list; an empty list does
    // nothing. A failure shows (and syncs) the project from before the batch
    // again before the error is rethrown.
    QCoro::Task<void> executeCommands(std::vector<EditCommand> commands);

    // Nothing at all when there is nothing to undo (or redo). Both clear the
    // selection; the restored project reaches the repository through
    // onProjectSync, not through the engine. While an edit runs or waits, they
    // wait for their turn behind it and act then.
    void undo();
    void redo();

    // Adds a media file as a clip (the engine probes it); one undo step.
    QCoro::Task<void> addClip(std::filesystem::path url, TrackType trackType,
                              std::optional<double> at, std::optional<std::string> originalName);
    // Moves a clip along its own track.
    QCoro::Task<void> moveClip(Uuid clipId, double newStart);
    // Moves a text clip in time, kept inside 0 ... maxDuration; an unknown id
    // does nothing.
    QCoro::Task<void> moveTextOverlay(Uuid id, double newStart);
    // Does nothing without a selection.
    QCoro::Task<void> splitSelectedClipAtPlayhead(double playheadTime);

    // Selects a clip that exists; an unknown id leaves the selection as it is.
    void selectClip(const Uuid& id);
    void zoomIn();
    void zoomOut();
    // One import finished; never below 0.
    void endImport();

signals:
    void projectChanged();
    void totalDurationChanged();
    void canUndoChanged();
    void canRedoChanged();
    void selectedClipIdChanged();
    void importingCountChanged();
    void zoomLevelChanged();

private:
    // One change through the engine, in its turn: the project before it becomes
    // the undo step once the engine has succeeded; then the result is shown and
    // synced. On failure nothing changes and the engine's error propagates.
    QCoro::Task<void> applyEdit(std::function<QCoro::Task<Project>()> callEngine,
                                bool checkSelection);
    // Shows `project` and its total duration; false when it equals the one shown.
    bool show(Project project);
    using HistoryStep = std::optional<Project> (EditHistory::*)(Project);
    // Undo or redo, at once or in its turn.
    void stepHistory(HistoryStep step);
    QCoro::Task<void> stepHistoryInTurn(HistoryStep step, std::uint64_t documentEpoch);
    // Makes an undo or redo snapshot current; nothing when there is none.
    void restore(std::optional<Project> snapshot);
    // Whether the document is still the one of `documentEpoch`. When it is not
    // and the engine has run for the old one, its result may have reached the
    // repository after the new project did: the new one is synced again.
    bool isCurrent(std::uint64_t documentEpoch, bool engineRan);
    void syncHistoryState();
    void clearSelectionIfClipRemoved();
    void notifyProjectSync();

    Observable<Project> project_;
    ErrorBannerViewModel& errorViewModel_;
    Observable<double> totalDuration_;
    Observable<bool> canUndo_;
    Observable<bool> canRedo_;
    Observable<std::optional<Uuid>> selectedClipId_;
    Observable<int> importingCount_;
    Observable<double> zoomLevel_;
    WrappedEditCommandExecutor commandExecutor_;
    TurnQueue engineTurns_;
    // Raised by every replacement of the document.
    std::uint64_t documentEpoch_ = 0;
    int historyDepth_;
    EditHistory editHistory_;
    ProjectSync onProjectSync_;
};

} // namespace vexel
