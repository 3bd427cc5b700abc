#pragma once

#include "platform/update/Updater.h"
#include "presentation/viewmodels/runtime/Observable.h"

#include <QObject>
#include <QPointer>

namespace vexel {

// The state behind "Check for Updates...": whether the item is enabled, which
// follows the updater's own flag, and the check it starts. The flag is false
// until the updater's first value has arrived; every value arrives from the
// event loop, and one that arrives after the view model is gone goes nowhere.
// GUI thread only.
class CheckForUpdatesViewModel : public QObject {
    Q_OBJECT

public:
    // `updater` may go before the view model: the item then stays as it was
    // and checks nothing.
    explicit CheckForUpdatesViewModel(update::Updater& updater, QObject* parent = nullptr);

    bool canCheckForUpdates() const { return canCheckForUpdates_.get(); }

    void checkForUpdates();

signals:
    void canCheckForUpdatesChanged();

private:
    Observable<bool> canCheckForUpdates_;
    QPointer<update::Updater> updater_;
};

} // namespace vexel
