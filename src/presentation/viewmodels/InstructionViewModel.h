#pragma once

// moc cannot parse the standard headers these bring in, and needs none of them.
#ifndef Q_MOC_RUN
#include "domain/entities/BugReport.h"
#include "domain/entities/FeatureRequest.h"
#include "presentation/viewmodels/InstructionCommandProcessor.h"
#endif
#include "domain/entities/EditCommand.h"
#include "domain/entities/ExportFormat.h"
#include "foundation/Logger.h"
#include "infrastructure/network/APIClientError.h"
#include "infrastructure/network/AuthenticationError.h"
#include "presentation/viewmodels/ChatHistoryManager.h"
#include "presentation/viewmodels/ExportCoordinator.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/viewmodels/TutorialOrchestrator.h"
#include "presentation/viewmodels/WrappedInterpretUseCase.h"
#include "presentation/viewmodels/runtime/Clock.h"
#include "presentation/viewmodels/runtime/Observable.h"
#include "presentation/viewmodels/runtime/TaskSlot.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QSettings>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

class QThreadPool;

namespace vexel {

// The state behind the chat bar. Sends one typed instruction at a time to the
// assistant (or, while the guided tutorial runs, to the tutorial), streams the
// reply into the chat, applies its commands as one undoable batch, and turns
// every failure into a chat message that says what to do, retryable with the
// instruction as it was typed. Also exports straight from the chat bar, and
// offers suggestion chips and the selected clip's name. GUI thread only.
//
// One task at a time: a send or an export while a task runs is ignored. A new
// or opened project (prepareForNewProject) ends the conversation: work begun
// before it writes nothing into the next one.
class InstructionViewModel : public QObject {
    Q_OBJECT

public:
    using SubmitBugReport = std::function<QCoro::Task<void>(BugReport)>;
    using SubmitFeatureRequest = std::function<QCoro::Task<void>(FeatureRequest)>;

    // `userDefaults` must outlive the view model. `worker` waits for the
    // assistant's events and moves exported files off the GUI thread (none:
    // the global thread pool).
    InstructionViewModel(std::shared_ptr<InterpretInstructionExecutable> interpretUseCase,
                         TimelineViewModel& timelineViewModel,
                         ExportCoordinator::DirectoryProvider exportDirectoryProvider,
                         QSettings& userDefaults, std::shared_ptr<Logger> logger,
                         std::shared_ptr<const Clock> clock = std::make_shared<SystemClock>(),
                         QThreadPool* worker = nullptr, QObject* parent = nullptr);

    // The chat bar's input.
    const std::string& instructionText() const { return instructionText_.get(); }
    void setInstructionText(std::string text);

    // Set by the views to have the input take focus, and reset by them.
    bool shouldFocusInput() const { return shouldFocusInput_.get(); }
    void setShouldFocusInput(bool focus);

    // Wired by the application: what a showTutorial command does, and where
    // reports go. Without a handler a report counts as sent.
    void setOnShowTutorial(std::function<void()> handler) { onShowTutorial_ = std::move(handler); }
    void setOnSubmitBugReport(SubmitBugReport handler) { onSubmitBugReport_ = std::move(handler); }
    void setOnSubmitFeatureRequest(SubmitFeatureRequest handler) {
        onSubmitFeatureRequest_ = std::move(handler);
    }
    // Told of the clips an export could not read, whichever way it started.
    void setOnExportMediaUnavailable(InstructionCommandProcessor::MediaUnavailable handler) {
        onExportMediaUnavailable_ = std::move(handler);
    }

    // The running guided tutorial, or none.
    TutorialOrchestrator* tutorialOrchestrator() const { return tutorialOrchestrator_.get(); }
    void setTutorialOrchestrator(TutorialOrchestrator* orchestrator);

    ChatHistoryManager& chatHistory() { return chatHistory_; }
    ExportCoordinator& exportCoordinator() { return exportCoordinator_; }
    const WrappedInterpretUseCase& interpretUseCase() const { return interpretUseCase_; }
    TimelineViewModel& timelineViewModel() const { return *timelineViewModel_; }
    QSettings& userDefaults() const { return userDefaults_; }

    // The running instruction, tutorial step or export; none when idle.
    const std::optional<TaskHandle>& currentTask() const { return currentTask_.task(); }
    // Raised by every started task and by cancel().
    std::uint64_t taskGeneration() const { return currentTask_.generation(); }

    // The send button: the input goes to the tutorial, to an export (in the
    // tutorial's export step) or to the assistant. Ignored while busy.
    void startSubmit();
    // Stops the running task, which reports "Cancelled." (or "Export
    // cancelled.") and leaves the input empty; idle at once.
    void cancel();
    // Exports the project without the assistant; ignored while busy, except
    // that one asked for while an export runs says so in the chat
    // (exportRunningNotice), rather than nothing.
    void startDirectExport(ExportFormat format);
    static constexpr const char* exportRunningNotice =
        "An export is already running. Wait for it to finish, or stop it first.";
    // The save dialog was dismissed: the file stays in the export folder, and
    // the chat says under which name.
    void cancelExportSave();
    // Before a new or opened project: stops the running task and empties the
    // input, the chat and the export hand-off.
    void prepareForNewProject();

    // The name of the selected clip, if a clip of the project has that id.
    std::optional<std::string> selectedClipInfo() const;
    // Three suggestions fitting the project and the selection.
    std::vector<std::string> contextualSuggestions() const;

    // The chat sentence of a transport error.
    static std::string userMessage(const APIClientError& error);
    // The chat sentence of a token that could not be had.
    static std::string authenticationMessage(const AuthenticationError& error);
    // One summary line per command; "No changes made." for none.
    static std::string buildCommandSummary(const std::vector<EditCommand>& commands);

signals:
    void instructionTextChanged();
    void shouldFocusInputChanged();
    void tutorialOrchestratorChanged();
    void currentTaskChanged();

private:
    using Generation = std::uint64_t;

    // Tells whether the conversation of `epoch` is still the one shown.
    std::function<bool()> stillCurrent(std::uint64_t epoch);
    InstructionCommandProcessor::Callbacks callbacks();

    static QCoro::Task<void> streamSubmit(QPointer<InstructionViewModel> self,
                                          Generation generation, std::uint64_t epoch,
                                          std::stop_token stop);
    static QCoro::Task<void> runTutorialStep(QPointer<InstructionViewModel> self,
                                             QPointer<TutorialOrchestrator> orchestrator,
                                             std::string typed, Generation generation,
                                             std::uint64_t epoch, std::stop_token stop);
    static QCoro::Task<void> directExport(QPointer<InstructionViewModel> self, ExportFormat format,
                                          Generation generation, std::uint64_t epoch,
                                          std::stop_token stop);
    static QCoro::Task<void> submitBugReport(QPointer<InstructionViewModel> self, BugReport report);
    static QCoro::Task<void> submitFeatureRequest(QPointer<InstructionViewModel> self,
                                                  FeatureRequest request);

    // Words a failed stream in the chat and gives back the input where a
    // retry makes sense.
    void reportStreamFailure(const std::exception_ptr& error, const std::string& typed,
                             const std::stop_token& stop);
    void reportExportFailure(const std::exception_ptr& error, const std::stop_token& stop);
    std::vector<std::string> audioSuggestions(const Clip& clip,
                                              const std::vector<Track>& tracks) const;

    Observable<std::string> instructionText_;
    Observable<bool> shouldFocusInput_;
    std::function<void()> onShowTutorial_;
    SubmitBugReport onSubmitBugReport_;
    SubmitFeatureRequest onSubmitFeatureRequest_;
    InstructionCommandProcessor::MediaUnavailable onExportMediaUnavailable_;
    Observable<QPointer<TutorialOrchestrator>> tutorialOrchestrator_;
    std::shared_ptr<Logger> logger_;
    QThreadPool* worker_;
    ChatHistoryManager chatHistory_;
    ExportCoordinator exportCoordinator_;
    WrappedInterpretUseCase interpretUseCase_;
    QPointer<TimelineViewModel> timelineViewModel_;
    QSettings& userDefaults_;
    TaskSlot currentTask_;
    // The generation of the last direct export started, so that a request
    // made before its first progress report still finds it running.
    std::optional<std::uint64_t> exportGeneration_;
    // Raised by prepareForNewProject(): a task started under an older epoch
    // belongs to a conversation that is gone and writes nothing any more.
    std::uint64_t resetEpoch_ = 0;
};

} // namespace vexel
