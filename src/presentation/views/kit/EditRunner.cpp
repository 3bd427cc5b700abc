#include "presentation/views/kit/EditRunner.h"

#include "domain/entities/EditError.h"
#include "foundation/CancellationError.h"
#include "presentation/viewmodels/AppError.h"

#include <utility>

namespace vexel {

EditRunner::EditRunner(ErrorBannerViewModel& banner, std::shared_ptr<const Clock> clock,
                       std::shared_ptr<Logger> logger, ErrorCategory category)
    : banner_(&banner)
    , clock_(std::move(clock))
    , logger_(std::move(logger))
    , category_(category) {}

EditRunner EditRunner::withCategory(ErrorCategory category) const {
    EditRunner copy = *this;
    copy.category_ = category;
    return copy;
}

TaskHandle EditRunner::runEdit(Operation operation, std::string failureText,
                               std::optional<std::string> overlapText) const {
    return TaskHandle::start(
        [runner = *this, operation = std::move(operation), failureText = std::move(failureText),
         overlapText = std::move(overlapText)](std::stop_token) -> QCoro::Task<void> {
            std::string message;
            try {
                co_await operation();
                co_return;
            } catch (const CancellationError&) {
                co_return;
            } catch (const EditError& error) {
                message = overlapText && error.kind() == EditError::Kind::clipOverlap ? *overlapText
                                                                                      : failureText;
            } catch (...) {
                message = failureText;
            }
            if (runner.banner_) {
                runner.banner_->pushError(
                    AppError::make(runner.category_, std::move(message), runner.clock_->now()));
            }
        },
        logger_);
}

} // namespace vexel
