#include "presentation/viewmodels/TutorialOrchestrator.h"

#include "domain/entities/ChatMessage.h"
#include "foundation/CancellationError.h"
#include "foundation/UnicodeText.h"
#include "presentation/helpers/CommandDescriptions.h"
#include "presentation/viewmodels/runtime/BackgroundWork.h"

#include <QThreadPool>

#include <limits>
#include <utility>
#include <vector>

namespace vexel {

namespace {

// The collaborators belong to the window; when it closed during a wait there
// is nothing left to run the step in.
template <class T> T& alive(const QPointer<T>& object) {
    if (!object) {
        throw CancellationError();
    }
    return *object;
}

} // namespace

TutorialOrchestrator::TutorialOrchestrator(TutorialState& tutorialState,
                                           ChatHistoryManager& chatHistory,
                                           TimelineViewModel& timelineViewModel,
                                           std::shared_ptr<FileStaging> fileStager,
                                           ResourceBundle resources, std::shared_ptr<Logger> logger,
                                           SleepAction sleep, const StringTable& strings,
                                           QThreadPool* worker, QObject* parent)
    : QObject(parent)
    , tutorialState_(&tutorialState)
    , chatHistory_(&chatHistory)
    , timelineViewModel_(&timelineViewModel)
    , fileStager_(std::move(fileStager))
    , resources_(std::move(resources))
    , logger_(std::move(logger))
    , sleep_(std::move(sleep))
    , strings_(strings)
    , worker_(worker ? worker : QThreadPool::globalInstance()) {}

QCoro::Task<void> TutorialOrchestrator::setupSampleVideo(std::stop_token stop) {
    return setup(QPointer(this), std::move(stop));
}

QCoro::Task<void> TutorialOrchestrator::executeTutorialStep(std::string userText,
                                                            std::stop_token stop) {
    return runStep(QPointer(this), std::move(userText), std::move(stop));
}

std::optional<std::string> TutorialOrchestrator::handleExportSuccess() {
    TutorialState& state = alive(tutorialState_);
    if (state.currentStep() != TutorialStep::exportVideo) {
        return std::nullopt;
    }
    state.setCurrentStep(TutorialStep::exploreHint);
    return config(TutorialStep::exploreHint).prefillText;
}

void TutorialOrchestrator::advance() {
    TutorialState& state = alive(tutorialState_);
    if (const std::optional<TutorialStep> step = state.currentStep()) {
        state.setCurrentStep(tutorialStep(rawValue(*step) + 1));
    }
}

QCoro::Task<void> TutorialOrchestrator::setup(QPointer<TutorialOrchestrator> self,
                                              std::stop_token stop) {
    TutorialOrchestrator& me = alive(self);
    const std::optional<std::filesystem::path> sample =
        me.resources_.url("tutorial-sample", "mp4", "SampleMedia");
    if (!sample) {
        me.logger_->error("[Tutorial] Sample video not found in bundle");
        alive(me.chatHistory_)
            .appendAssistantMessage(me.strings_.localized("error.sampleVideoNotFound"));
        alive(me.tutorialState_).setCurrentStep(std::nullopt);
        co_return;
    }
    const std::string sampleName = "tutorial-sample.mp4";
    auto stage = [stager = me.fileStager_, source = *sample, sampleName] {
        return stager->stage(source, sampleName);
    };
    const std::filesystem::path staged = co_await runInBackground(me.worker_, std::move(stage));
    // A tutorial given up while the copy ran adds nothing to the project.
    throwIfCancelled(stop);
    // Named as the user knows it, not after the staged copy's unique name.
    QCoro::Task<void> adding =
        alive(alive(self).timelineViewModel_).addClip(staged, TrackType::video, 0.0, sampleName);
    co_await adding;
    alive(self).advance();
}

QCoro::Task<void> TutorialOrchestrator::runStep(QPointer<TutorialOrchestrator> self,
                                                std::string userText, std::stop_token stop) {
    TutorialOrchestrator& me = alive(self);
    const std::optional<TutorialStep> step = alive(me.tutorialState_).currentStep();
    if (!step) {
        co_return;
    }
    const TutorialStepConfig config = me.config(*step);
    const std::string trimmed = unicode::trimmingWhitespace(userText);
    if (trimmed.empty()) {
        co_return;
    }
    alive(me.chatHistory_)
        .appendMessage(ChatMessage::make(ChatMessage::Role::user, {ChatMessage::Text{trimmed}}));

    if (config.commandBuilder) {
        TimelineViewModel& timeline = alive(me.timelineViewModel_);
        std::vector<EditCommand> commands = config.commandBuilder(timeline.project());
        if (commands.empty()) {
            alive(me.chatHistory_).appendAssistantMessage(me.strings_.localized("error.noClips"));
            co_return;
        }
        const std::string summary = buildCommandSummary(commands);
        QCoro::Task<void> batch = timeline.executeCommands(std::move(commands));
        co_await batch;
        co_await streamHardcodedResponse(self, summary, stop);
    } else if (config.hardcodedResponse) {
        co_await streamHardcodedResponse(self, *config.hardcodedResponse, stop);
    }
    if (config.bonusHint) {
        co_await streamHardcodedResponse(self, *config.bonusHint, stop);
    }
    alive(self).advance();
}

QCoro::Task<void> TutorialOrchestrator::streamHardcodedResponse(QPointer<TutorialOrchestrator> self,
                                                                std::string text,
                                                                std::stop_token stop) {
    if (!self || !self->chatHistory_) {
        co_return;
    }
    // Pieces are cut from valid UTF-8, so that each piece's length in bytes is
    // its length in the text.
    const std::string reply =
        unicode::graphemePrefix(text, std::numeric_limits<std::size_t>::max());
    const Uuid id = Uuid::random();
    self->chatHistory_->appendStreamingMessage(id);
    std::string typed;
    while (typed.size() < reply.size() && !stop.stop_requested()) {
        const std::string piece = unicode::graphemePrefix(
            std::string_view(reply).substr(typed.size()), charactersPerPiece);
        if (piece.empty()) {
            break;
        }
        typed += piece;
        if (!self || !self->chatHistory_) {
            co_return;
        }
        self->chatHistory_->updateStreamingMessage(id, typed);
        SleepAction sleep = self->sleep_;
        try {
            QCoro::Task<void> pause = sleep(typingInterval, stop);
            co_await pause;
        } catch (...) {
            // An interrupted pause only ends the pause; the loop sees the stop.
        }
    }
    if (self && self->chatHistory_) {
        self->chatHistory_->finalizeStreamingMessage(id, typed);
    }
}

} // namespace vexel
