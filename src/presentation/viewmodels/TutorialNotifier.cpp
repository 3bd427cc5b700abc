#include "presentation/viewmodels/TutorialNotifier.h"

namespace vexel {

TutorialNotifier::TutorialNotifier(QObject* parent)
    : QObject(parent) {}

void TutorialNotifier::post() {
    emit showTutorial();
}

} // namespace vexel
