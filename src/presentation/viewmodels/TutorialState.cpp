#include "presentation/viewmodels/TutorialState.h"

namespace vexel {

TutorialState::TutorialState(QObject* parent)
    : QObject(parent)
    , currentStep_(std::nullopt, [this] { emit currentStepChanged(); }) {}

void TutorialState::setCurrentStep(std::optional<TutorialStep> step) {
    currentStep_.set(step);
}

} // namespace vexel
