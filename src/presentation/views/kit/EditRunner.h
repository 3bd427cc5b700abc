#pragma once

#include "foundation/Logger.h"
#include "presentation/viewmodels/ErrorBannerViewModel.h"
#include "presentation/viewmodels/ErrorCategory.h"
#include "presentation/viewmodels/runtime/Clock.h"
#include "presentation/viewmodels/runtime/TaskHandle.h"

#include <QCoro/QCoroTask>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vexel {

// How the views run an edit they start: as a task of its own that nobody
// waits for, whose failure shows in the error banner as a fixed short message
// ("Failed to move clip"), never as the error's own text. A cancelled edit
// shows nothing.
class EditRunner {
public:
    using Operation = std::function<QCoro::Task<void>()>;

    // `clock` stamps the errors; `category` is that of every error reported
    // (validation for edits, file import for drops).
    EditRunner(ErrorBannerViewModel& banner, std::shared_ptr<const Clock> clock,
               std::shared_ptr<Logger> logger, ErrorCategory category = ErrorCategory::validation);

    // The same runner reporting in another category.
    EditRunner withCategory(ErrorCategory category) const;

    // Starts `operation` from the event loop. On failure the banner shows
    // `failureText`, or `overlapText` when one is given and the edit was refused
    // because clips would overlap. The returned task ends when the edit has.
    TaskHandle runEdit(Operation operation, std::string failureText,
                       std::optional<std::string> overlapText = std::nullopt) const;

private:
    QPointer<ErrorBannerViewModel> banner_;
    std::shared_ptr<const Clock> clock_;
    std::shared_ptr<Logger> logger_;
    ErrorCategory category_;
};

} // namespace vexel
