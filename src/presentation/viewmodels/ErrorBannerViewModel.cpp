#include "presentation/viewmodels/ErrorBannerViewModel.h"

#include <QPointer>

#include <utility>

namespace vexel {

ErrorBannerViewModel::ErrorBannerViewModel(std::shared_ptr<Logger> logger, SleepAction sleepAction,
                                           std::chrono::duration<double> autoDismissDelay,
                                           QObject* parent)
    : QObject(parent)
    , currentError_(std::nullopt, [this] { emit currentErrorChanged(); })
    , errorHistory_({}, [this] { emit errorHistoryChanged(); })
    , autoDismissDelay_(autoDismissDelay)
    , sleepAction_(std::move(sleepAction))
    , autoDismiss_(std::move(logger)) {}

void ErrorBannerViewModel::setCurrentError(std::optional<AppError> error) {
    currentError_.set(std::move(error));
}

void ErrorBannerViewModel::pushError(AppError error) {
    std::vector<AppError> history = errorHistory_.get();
    history.push_back(error);
    if (history.size() > historyLimit) {
        history.erase(history.begin(), history.end() - historyLimit);
    }
    currentError_.set(std::move(error));
    errorHistory_.set(std::move(history));
    // Starting the new dismissal cancels the old one and raises the generation,
    // so the old one can never hide this error, even if its cancellation came
    // too late to stop it.
    autoDismiss_.start([self = QPointer(this), sleep = sleepAction_, delay = autoDismissDelay_](
                           std::uint64_t generation, std::stop_token stop) -> QCoro::Task<void> {
        try {
            co_await sleep(delay, stop);
        } catch (...) {
            // A failed or interrupted wait still ends in the checks below.
        }
        if (stop.stop_requested() || !self || !self->autoDismiss_.isCurrent(generation)) {
            co_return;
        }
        self->setCurrentError(std::nullopt);
    });
}

void ErrorBannerViewModel::dismiss() {
    cancelAutoDismiss();
    setCurrentError(std::nullopt);
}

void ErrorBannerViewModel::clearHistory() {
    errorHistory_.set({});
}

void ErrorBannerViewModel::cancelAutoDismiss() {
    autoDismiss_.cancel();
}

} // namespace vexel
