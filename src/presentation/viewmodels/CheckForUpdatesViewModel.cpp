#include "presentation/viewmodels/CheckForUpdatesViewModel.h"

#include <QMetaObject>

namespace vexel {

CheckForUpdatesViewModel::CheckForUpdatesViewModel(update::Updater& updater, QObject* parent)
    : QObject(parent)
    , canCheckForUpdates_(false, [this] { emit canCheckForUpdatesChanged(); })
    , updater_(&updater) {
    // The current value first, then every change, all in the order the
    // updater gave them; queued, so a value never lands inside the updater's
    // own call.
    const bool current = updater.canCheckForUpdates();
    QMetaObject::invokeMethod(
        this, [this, current] { canCheckForUpdates_.set(current); }, Qt::QueuedConnection);
    connect(
        &updater, &update::Updater::canCheckForUpdatesChanged, this,
        [this](bool canCheck) { canCheckForUpdates_.set(canCheck); }, Qt::QueuedConnection);
}

void CheckForUpdatesViewModel::checkForUpdates() {
    if (updater_) {
        updater_->checkForUpdates();
    }
}

} // namespace vexel
