#pragma once

#include "foundation/Logger.h"
#include "presentation/viewmodels/AppError.h"
#include "presentation/viewmodels/runtime/Observable.h"
#include "presentation/viewmodels/runtime/Sleep.h"
#include "presentation/viewmodels/runtime/TaskSlot.h"

#include <QObject>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace vexel {

// The window's one error banner: shows the error pushed last, hides it by
// itself a while after the push unless a newer error replaced it, and keeps the
// last few errors for the banner's history list. GUI thread only.
class ErrorBannerViewModel : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t historyLimit = 10;
    static constexpr std::chrono::duration<double> defaultAutoDismissDelay{10.0};

    explicit ErrorBannerViewModel(
        std::shared_ptr<Logger> logger, SleepAction sleepAction = sleepOnEventLoop,
        std::chrono::duration<double> autoDismissDelay = defaultAutoDismissDelay,
        QObject* parent = nullptr);

    // The error on show; none hides the banner.
    const std::optional<AppError>& currentError() const { return currentError_.get(); }
    // The banner's dismiss button and a document reset assign none.
    void setCurrentError(std::optional<AppError> error);

    // The pushed errors, oldest first, at most the last `historyLimit`.
    const std::vector<AppError>& errorHistory() const { return errorHistory_.get(); }

    std::chrono::duration<double> autoDismissDelay() const { return autoDismissDelay_; }

    // Shows the error, records it and arms its dismissal, replacing the one
    // armed by the push before.
    void pushError(AppError error);

    // The banner's dismiss button: hides the error at once, for good (its
    // pending dismissal is dropped, so nothing armed for it touches a later
    // error); the history keeps it.
    void dismiss();

    // Empties the history; the error on show stays.
    void clearHistory();

    // Drops the pending dismissal, for a document reset that also hides the
    // banner and clears the history.
    void cancelAutoDismiss();

signals:
    void currentErrorChanged();
    void errorHistoryChanged();

private:
    Observable<std::optional<AppError>> currentError_;
    Observable<std::vector<AppError>> errorHistory_;
    std::chrono::duration<double> autoDismissDelay_;
    SleepAction sleepAction_;
    // Its generation is the dismissal generation: raised by every push.
    TaskSlot autoDismiss_;
};

} // namespace vexel
