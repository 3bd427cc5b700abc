#pragma once

#include "platform/update/UpdateCheckResult.h"
#include "presentation/views/kit/DialogService.h"

#include <QCoro/QCoroTask>

namespace vexel {

// Tells the user what an update check found: a newer version, with a button
// that opens its page; that this one is the newest; or that the check failed.
// `dialogs` must outlive the task.
QCoro::Task<void> showUpdateCheckResult(DialogService& dialogs, update::UpdateCheckResult result);

} // namespace vexel
