#include "presentation/viewmodels/InstructionViewModel.h"

#include "data/llm/AssistantReplyError.h"
#include "domain/entities/ChatMessage.h"
#include "domain/entities/ExportError.h"
#include "foundation/CancellationError.h"
#include "foundation/NumberText.h"
#include "foundation/UnicodeText.h"
#include "infrastructure/network/AuthenticationError.h"
#include "presentation/helpers/CommandDescriptions.h"
#include "presentation/viewmodels/AssistantNotConfiguredError.h"
#include "presentation/viewmodels/FailureText.h"
#include "presentation/viewmodels/InstructionStreamProcessor.h"

#include <QThreadPool>

#include <algorithm>
#include <utility>

namespace vexel {

namespace {

std::vector<Clip> allClips(const Project& project) {
    std::vector<Clip> clips;
    for (const Track& track : project.tracks) {
        clips.insert(clips.end(), track.clips.begin(), track.clips.end());
    }
    return clips;
}

const Clip* findClip(const std::vector<Clip>& clips, const std::optional<Uuid>& id) {
    if (!id) {
        return nullptr;
    }
    const auto clip = std::find_if(clips.begin(), clips.end(),
                                   [&](const Clip& candidate) { return candidate.id == *id; });
    return clip == clips.end() ? nullptr : &*clip;
}

} // namespace

InstructionViewModel::InstructionViewModel(
    std::shared_ptr<InterpretInstructionExecutable> interpretUseCase,
    TimelineViewModel& timelineViewModel,
    ExportCoordinator::DirectoryProvider exportDirectoryProvider, QSettings& userDefaults,
    std::shared_ptr<Logger> logger, std::shared_ptr<const Clock> clock, QThreadPool* worker,
    QObject* parent)
    : QObject(parent)
    , instructionText_("", [this] { emit instructionTextChanged(); })
    , shouldFocusInput_(false, [this] { emit shouldFocusInputChanged(); })
    , tutorialOrchestrator_(nullptr, [this] { emit tutorialOrchestratorChanged(); })
    , logger_(std::move(logger))
    , worker_(worker ? worker : QThreadPool::globalInstance())
    , chatHistory_(std::move(clock))
    , exportCoordinator_(std::move(exportDirectoryProvider), logger_, worker_)
    , interpretUseCase_(WrappedInterpretUseCase::wrapping(std::move(interpretUseCase)))
    , timelineViewModel_(&timelineViewModel)
    , userDefaults_(userDefaults)
    , currentTask_(logger_, [this] { emit currentTaskChanged(); }) {}

void InstructionViewModel::setInstructionText(std::string text) {
    instructionText_.set(std::move(text));
}

void InstructionViewModel::setShouldFocusInput(bool focus) {
    shouldFocusInput_.set(focus);
}

void InstructionViewModel::setTutorialOrchestrator(TutorialOrchestrator* orchestrator) {
    tutorialOrchestrator_.set(orchestrator);
}

std::function<bool()> InstructionViewModel::stillCurrent(std::uint64_t epoch) {
    return [self = QPointer(this), epoch] { return self && self->resetEpoch_ == epoch; };
}

InstructionCommandProcessor::Callbacks InstructionViewModel::callbacks() {
    // The handlers are read when a command needs them, so that a handler wired
    // after the instruction started is the one used.
    QPointer<InstructionViewModel> self(this);
    return {
        [self] {
            if (self && self->onShowTutorial_) {
                self->onShowTutorial_();
            }
        },
        [self](BugReport report) { return submitBugReport(self, std::move(report)); },
        [self](FeatureRequest request) { return submitFeatureRequest(self, std::move(request)); },
        [self](const std::vector<UnavailableMedia>& clips) {
            if (self && self->onExportMediaUnavailable_) {
                self->onExportMediaUnavailable_(clips);
            }
        }};
}

QCoro::Task<void> InstructionViewModel::submitBugReport(QPointer<InstructionViewModel> self,
                                                        BugReport report) {
    if (!self || !self->onSubmitBugReport_) {
        co_return;
    }
    SubmitBugReport handler = self->onSubmitBugReport_;
    co_await handler(std::move(report));
}

QCoro::Task<void> InstructionViewModel::submitFeatureRequest(QPointer<InstructionViewModel> self,
                                                             FeatureRequest request) {
    if (!self || !self->onSubmitFeatureRequest_) {
        co_return;
    }
    SubmitFeatureRequest handler = self->onSubmitFeatureRequest_;
    co_await handler(std::move(request));
}

void InstructionViewModel::startSubmit() {
    if (currentTask()) {
        return;
    }
    QPointer<InstructionViewModel> self(this);
    const std::uint64_t epoch = resetEpoch_;
    if (TutorialOrchestrator* orchestrator = tutorialOrchestrator()) {
        const std::optional<TutorialStep> step = orchestrator->tutorialState().currentStep();
        if (step == TutorialStep::exportVideo) {
            const std::string trimmed = unicode::trimmingWhitespace(instructionText());
            if (trimmed.empty()) {
                return;
            }
            chatHistory_.appendMessage(
                ChatMessage::make(ChatMessage::Role::user, {ChatMessage::Text{trimmed}}));
            setInstructionText("");
            startDirectExport(ExportFormat::mov);
            return;
        }
        if (step) {
            const TutorialStepConfig config = orchestrator->config(*step);
            if (config.commandBuilder || config.hardcodedResponse) {
                std::string typed = instructionText();
                setInstructionText("");
                currentTask_.start([self, orchestrator = QPointer(orchestrator),
                                    typed = std::move(typed),
                                    epoch](Generation generation, std::stop_token stop) {
                    return runTutorialStep(self, orchestrator, typed, generation, epoch,
                                           std::move(stop));
                });
                return;
            }
        }
    }
    currentTask_.start([self, epoch](Generation generation, std::stop_token stop) {
        return streamSubmit(self, generation, epoch, std::move(stop));
    });
}

QCoro::Task<void> InstructionViewModel::streamSubmit(QPointer<InstructionViewModel> self,
                                                     Generation generation, std::uint64_t epoch,
                                                     std::stop_token stop) {
    if (!self || self->resetEpoch_ != epoch) {
        co_return;
    }
    // The input as typed is what a retry sends again; the chat and the
    // assistant get it trimmed of spaces and tabs (line breaks stay).
    const std::string typed = self->instructionText();
    const std::string trimmed = unicode::trimmingWhitespace(typed);
    if (!trimmed.empty()) {
        ChatHistoryManager& chat = self->chatHistory_;
        std::vector<ChatMessage> priorHistory = chat.messages();
        chat.appendMessage(
            ChatMessage::make(ChatMessage::Role::user, {ChatMessage::Text{trimmed}}));
        self->setInstructionText("");
        const std::optional<Uuid> selectedClipId = self->timelineViewModel().selectedClipId();

        const std::function<bool()> current = self->stillCurrent(epoch);
        InstructionStreamProcessor stream(chat, self->interpretUseCase_.streamExecute,
                                          self->logger_, self->worker_, current);
        InstructionCommandProcessor commands(self->timelineViewModel(), chat,
                                             self->exportCoordinator_, self->logger_, current);
        InstructionStreamProcessor::OnCommands onCommands =
            [commands, typed, callbacks = self->callbacks(), stop](LLMResponse response,
                                                                   bool showSummary) {
                return commands.processCommands(std::move(response), typed, {}, showSummary,
                                                callbacks, stop);
            };
        std::exception_ptr failure;
        try {
            QCoro::Task<void> run = stream.streamSubmit(
                trimmed, std::move(priorHistory), selectedClipId, std::move(onCommands), stop);
            co_await run;
        } catch (...) {
            failure = std::current_exception();
        }
        if (failure && self && self->resetEpoch_ == epoch) {
            self->reportStreamFailure(failure, typed, stop);
        }
    }
    if (self) {
        self->currentTask_.clear(generation);
    }
}

void InstructionViewModel::reportStreamFailure(const std::exception_ptr& error,
                                               const std::string& typed,
                                               const std::stop_token& stop) {
    try {
        std::rethrow_exception(error);
    } catch (const APIClientError& apiError) {
        setInstructionText(typed);
        chatHistory_.appendErrorMessage(userMessage(apiError), typed);
    } catch (const AuthenticationError& authError) {
        setInstructionText(typed);
        chatHistory_.appendErrorMessage(authenticationMessage(authError), typed);
    } catch (const AssistantReplyError& replyError) {
        setInstructionText(typed);
        logger_->error(std::string("[Instruction] Reply refused: ") + replyError.what());
        chatHistory_.appendErrorMessage(replyError.userMessage(), typed);
    } catch (const AssistantNotConfiguredError&) {
        setInstructionText(typed);
        chatHistory_.appendErrorMessage(AssistantNotConfiguredError::userMessage, typed);
    } catch (...) {
        if (stop.stop_requested() || isCancellation(error)) {
            chatHistory_.appendAssistantMessage("Cancelled.");
            return;
        }
        setInstructionText(typed);
        logger_->error("[Instruction] Stream failed: " + typeAndDescription(error));
        chatHistory_.appendErrorMessage("Failed to interpret instruction. Please try rephrasing.",
                                        typed);
    }
}

QCoro::Task<void> InstructionViewModel::runTutorialStep(QPointer<InstructionViewModel> self,
                                                        QPointer<TutorialOrchestrator> orchestrator,
                                                        std::string typed, Generation generation,
                                                        std::uint64_t epoch, std::stop_token stop) {
    std::exception_ptr failure;
    try {
        if (!orchestrator) {
            throw CancellationError();
        }
        QCoro::Task<void> step = orchestrator->executeTutorialStep(typed, stop);
        co_await step;
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    if (self->resetEpoch_ == epoch) {
        if (!failure) {
            std::optional<std::string> prefill;
            if (orchestrator) {
                if (const std::optional<TutorialStep> next =
                        orchestrator->tutorialState().currentStep()) {
                    prefill = orchestrator->config(*next).prefillText;
                }
            }
            self->setInstructionText(prefill.value_or(""));
        } else if (!isCancellation(failure)) {
            self->chatHistory_.appendAssistantMessage("Tutorial step failed. Please try again.");
            self->setInstructionText(typed);
        }
    }
    self->currentTask_.clear(generation);
}

void InstructionViewModel::cancel() {
    currentTask_.cancel();
}

void InstructionViewModel::startDirectExport(ExportFormat format) {
    if (currentTask()) {
        // A second export would be dropped without a word: the user would
        // wait for a file that never comes.
        if (exportCoordinator_.exportProgress() || exportGeneration_ == taskGeneration()) {
            chatHistory_.appendAssistantMessage(exportRunningNotice);
        }
        return;
    }
    const std::uint64_t epoch = resetEpoch_;
    currentTask_.start(
        [self = QPointer(this), format, epoch](Generation generation, std::stop_token stop) {
            return directExport(self, format, generation, epoch, std::move(stop));
        });
    exportGeneration_ = taskGeneration();
}

QCoro::Task<void> InstructionViewModel::directExport(QPointer<InstructionViewModel> self,
                                                     ExportFormat format, Generation generation,
                                                     std::uint64_t epoch, std::stop_token stop) {
    if (!self || self->resetEpoch_ != epoch) {
        co_return;
    }
    ExportProgressHandler onProgress = self->exportCoordinator_.beginExport();
    std::optional<ExportResult> result;
    std::exception_ptr failure;
    try {
        QCoro::Task<ExportResult> exporting =
            self->timelineViewModel().commandExecutor().exportProject(format, std::move(onProgress),
                                                                      stop);
        result = co_await exporting;
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    // After a new project the export belongs to no conversation: its file
    // stays in the export folder, which is cleaned at the next start.
    if (self->resetEpoch_ == epoch) {
        self->exportCoordinator_.endExport();
        if (failure) {
            self->reportExportFailure(failure, stop);
        } else {
            self->exportCoordinator_.requestSave(result->outputURL);
        }
    }
    self->currentTask_.clear(generation);
}

void InstructionViewModel::reportExportFailure(const std::exception_ptr& error,
                                               const std::stop_token& stop) {
    if (stop.stop_requested() || isCancellation(error)) {
        chatHistory_.appendAssistantMessage("Export cancelled.");
        return;
    }
    logger_->error("[Export] Direct export failed");
    std::string message = "Export failed. Please try again.";
    std::vector<UnavailableMedia> unreadable;
    try {
        std::rethrow_exception(error);
    } catch (const ExportError& exportError) {
        if (exportError.kind() != ExportError::Kind::exportFailed) {
            message = InstructionCommandProcessor::failureMessage(error);
        }
        unreadable = exportError.unavailableMedia();
    } catch (...) {
    }
    chatHistory_.appendAssistantMessage(message);
    if (!unreadable.empty() && onExportMediaUnavailable_) {
        onExportMediaUnavailable_(unreadable);
    }
}

void InstructionViewModel::cancelExportSave() {
    const std::optional<ExportSaveRequest> request = exportCoordinator_.exportSaveRequest();
    if (!request) {
        return;
    }
    exportCoordinator_.setExportSaveRequest(std::nullopt);
    chatHistory_.appendAssistantMessage("Exported video to " + request->suggestedName);
}

void InstructionViewModel::prepareForNewProject() {
    cancel();
    ++resetEpoch_;
    setInstructionText("");
    chatHistory_.setMessages({});
    chatHistory_.setErrorMessageIds({});
    chatHistory_.setRetryableInstructions({});
    exportCoordinator_.endExport();
    exportCoordinator_.setExportSaveRequest(std::nullopt);
}

std::optional<std::string> InstructionViewModel::selectedClipInfo() const {
    const std::vector<Clip> clips = allClips(timelineViewModel().project());
    if (const Clip* clip = findClip(clips, timelineViewModel().selectedClipId())) {
        return clip->assetName;
    }
    return std::nullopt;
}

std::vector<std::string> InstructionViewModel::contextualSuggestions() const {
    const Project& project = timelineViewModel().project();
    const std::vector<Clip> clips = allClips(project);
    if (clips.empty()) {
        return {"Add a video file to get started", "Drag and drop media files onto the timeline",
                "Add a text overlay"};
    }
    const Clip* clip = findClip(clips, timelineViewModel().selectedClipId());
    if (!clip) {
        return {"Add a fade transition between clips", "Trim the first clip to 5 seconds",
                "Add background music"};
    }
    switch (clip->trackType) {
    case TrackType::video:
        return {"Trim " + clip->assetName + " to 5 seconds", "Add a fade transition",
                "Adjust brightness or contrast"};
    case TrackType::image:
        return {"Change duration of " + clip->assetName, "Add a fade transition",
                "Adjust brightness"};
    case TrackType::text:
        return {"Change the font size", "Move text to the top", "Change text color to yellow"};
    case TrackType::audio:
        return audioSuggestions(*clip, project.tracks);
    }
    return {};
}

std::vector<std::string>
InstructionViewModel::audioSuggestions(const Clip& clip, const std::vector<Track>& tracks) const {
    std::vector<std::string> suggestions{"Adjust volume of " + clip.assetName,
                                         "Trim " + clip.assetName + " to match video"};
    const auto home = std::find_if(tracks.begin(), tracks.end(), [&](const Track& track) {
        return std::any_of(track.clips.begin(), track.clips.end(),
                           [&](const Clip& candidate) { return candidate.id == clip.id; });
    });
    const auto other = home == tracks.end()
                           ? tracks.end()
                           : std::find_if(tracks.begin(), tracks.end(), [&](const Track& track) {
                                 return track.type == TrackType::audio && track.id != home->id;
                             });
    suggestions.push_back(other != tracks.end() ? "Move clip to " + other->name
                                                : "Add a fade-in effect");
    return suggestions;
}

std::string InstructionViewModel::authenticationMessage(const AuthenticationError& error) {
    if (error.kind() == AuthenticationError::Kind::configuredTokenRefused) {
        // The token comes from the environment: restarting alone brings the
        // same token back.
        return "The assistant backend refused the access token. Check VEXEL_ACCESS_TOKEN, then "
               "start Vexel again.";
    }
    return error.needsNewSession() ? "Your session has expired. Please restart the app."
                                   : "A connection error occurred. Please try again later.";
}

std::string InstructionViewModel::userMessage(const APIClientError& error) {
    switch (error.kind()) {
    case APIClientError::Kind::invalidURL:
        return "An unexpected error occurred. Please try again.";
    case APIClientError::Kind::forbidden:
        return "Authentication error. Please restart the app.";
    case APIClientError::Kind::rateLimited:
        return "Request limit reached. Please try again shortly.";
    case APIClientError::Kind::serverError:
        return "A server error occurred. Please try again later.";
    case APIClientError::Kind::invalidResponse:
        if (error.statusCode() == 400) {
            return "The request may be too large. Try simplifying your instruction or starting a "
                   "new conversation.";
        }
        return "Server returned an unexpected response (HTTP " + formatInteger(error.statusCode()) +
               "). Please try again.";
    case APIClientError::Kind::networkError:
        if (error.detail().find("timed out") != std::string::npos) {
            return "Request timed out. Please try again.";
        }
        return "A network error occurred: please check your connection and try again.";
    case APIClientError::Kind::unauthorized:
        return "Session expired. Please restart the app.";
    case APIClientError::Kind::networkDisconnected:
        return "Please check your internet connection.";
    }
    return "An unexpected error occurred. Please try again.";
}

std::string InstructionViewModel::buildCommandSummary(const std::vector<EditCommand>& commands) {
    return vexel::buildCommandSummary(commands);
}

} // namespace vexel
