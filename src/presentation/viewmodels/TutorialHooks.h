#pragma once

#include "foundation/Logger.h"
#include "presentation/viewmodels/InstructionViewModel.h"
#include "presentation/viewmodels/TutorialState.h"
#include "presentation/viewmodels/runtime/TaskSlot.h"

#include <QObject>
#include <QPointer>
#include <QSettings>

#include <memory>
#include <optional>

namespace vexel {

// What the window does for the guided tutorial: offers it on a first run, and
// answers the tutorial's buttons (start on the sample, skip, finish). The
// tutorial's own steps are run by the orchestrator. GUI thread only.
class TutorialHooks : public QObject {
    Q_OBJECT

public:
    // The user default that records a finished or skipped tutorial.
    static constexpr const char* onboardingKey = "hasCompletedOnboarding";

    // `userDefaults` must outlive the hooks.
    TutorialHooks(TutorialState& state, InstructionViewModel& instructions, QSettings& userDefaults,
                  std::shared_ptr<Logger> logger, QObject* parent = nullptr);

    // The window's first showing: the welcome step, unless the tutorial was
    // finished or skipped before or a step is on already.
    void startIfFirstRun();

    // Get Started: loads the sample, then puts the first chat step's
    // instruction in the chat bar and focuses it. A failed setup ends the
    // tutorial and is only logged. Ignored while a setup runs (a second click)
    // and without an orchestrator.
    void setupAndAdvance();

    // Skip and the finishing button: the tutorial ends and is not offered again.
    void skip();
    void complete() { skip(); }

    // The setup started last, until it has ended.
    const std::optional<TaskHandle>& setupTask() const { return setup_.task(); }

private:
    QPointer<TutorialState> state_;
    QPointer<InstructionViewModel> instructions_;
    QSettings& userDefaults_;
    std::shared_ptr<Logger> logger_;
    TaskSlot setup_;
};

} // namespace vexel
