#pragma once

#include "domain/protocols/FileStaging.h"
#include "foundation/Logger.h"
#include "presentation/helpers/ResourceBundle.h"
#include "presentation/helpers/StringTable.h"
#include "presentation/helpers/TutorialStep.h"
#include "presentation/viewmodels/ChatHistoryManager.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/viewmodels/TutorialState.h"
#include "presentation/viewmodels/runtime/Sleep.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

class QThreadPool;

namespace vexel {

// Runs the guided tutorial on a sample video: loads the sample, then in each
// chat step applies the step's own edits instead of asking the assistant, and
// types the user's instruction and a fixed reply into the chat as if the
// assistant had answered. Holds no state of its own: the step is in the shared
// TutorialState, the rest in the chat and the project. GUI thread only.
class TutorialOrchestrator : public QObject {
    Q_OBJECT

public:
    // Replies are typed this many characters (graphemes) at a time, with this
    // pause after each piece: about 200 characters a second.
    static constexpr std::size_t charactersPerPiece = 3;
    static constexpr std::chrono::milliseconds typingInterval{15};

    // `resources` holds the sample video; `sleep` paces the typing; `worker`
    // stages the sample off the GUI thread (none: the global thread pool).
    TutorialOrchestrator(TutorialState& tutorialState, ChatHistoryManager& chatHistory,
                         TimelineViewModel& timelineViewModel,
                         std::shared_ptr<FileStaging> fileStager, ResourceBundle resources,
                         std::shared_ptr<Logger> logger, SleepAction sleep = sleepOnEventLoop,
                         const StringTable& strings = tutorialStrings(),
                         QThreadPool* worker = nullptr, QObject* parent = nullptr);

    TutorialState& tutorialState() const { return *tutorialState_; }

    // The step's configuration, worded from this tutorial's string table.
    TutorialStepConfig config(TutorialStep step) const {
        return TutorialStepConfig::of(step, strings_);
    }

    // Stages the sample video, adds it as a video clip at 0 s and moves on
    // from the welcome step. Without a sample the tutorial ends with a chat
    // reply saying so. A failed staging or import is thrown and the step stays.
    QCoro::Task<void> setupSampleVideo(std::stop_token stop = {});

    // Runs the current step for the instruction the user typed: shows it, then
    // applies the step's edits (one undoable batch) and types their summary,
    // or types the step's fixed reply, then its hint, and moves on. A text of
    // only spaces and tabs does nothing; a step whose edits find no video clip
    // says so and stays. A failed batch is thrown and the step stays.
    QCoro::Task<void> executeTutorialStep(std::string userText, std::stop_token stop = {});

    // The export of the export step is done: moves on and returns the next
    // step's prefilled instruction. Outside that step: nothing.
    std::optional<std::string> handleExportSuccess();

private:
    static QCoro::Task<void> setup(QPointer<TutorialOrchestrator> self, std::stop_token stop);
    static QCoro::Task<void> runStep(QPointer<TutorialOrchestrator> self, std::string userText,
                                     std::stop_token stop);
    // Types `text` into a new assistant message, a few characters at a time.
    // Never fails: a stop ends the typing with what was typed so far.
    static QCoro::Task<void> streamHardcodedResponse(QPointer<TutorialOrchestrator> self,
                                                     std::string text, std::stop_token stop);
    void advance();

    QPointer<TutorialState> tutorialState_;
    QPointer<ChatHistoryManager> chatHistory_;
    QPointer<TimelineViewModel> timelineViewModel_;
    std::shared_ptr<FileStaging> fileStager_;
    ResourceBundle resources_;
    std::shared_ptr<Logger> logger_;
    SleepAction sleep_;
    StringTable strings_;
    QThreadPool* worker_;
};

} // namespace vexel
