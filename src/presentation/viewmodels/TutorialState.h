#pragma once

#include "presentation/helpers/TutorialStep.h"
#include "presentation/viewmodels/runtime/Observable.h"

#include <QObject>

#include <optional>

namespace vexel {

// Where the guided tutorial stands: its current step, or none while it does
// not run. One instance is shared by the window, the instruction view model
// and the tutorial's runner. GUI thread only.
class TutorialState : public QObject {
    Q_OBJECT

public:
    explicit TutorialState(QObject* parent = nullptr);

    const std::optional<TutorialStep>& currentStep() const { return currentStep_.get(); }
    void setCurrentStep(std::optional<TutorialStep> step);

signals:
    void currentStepChanged();

private:
    Observable<std::optional<TutorialStep>> currentStep_;
};

} // namespace vexel
