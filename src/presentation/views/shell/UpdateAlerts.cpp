#include "presentation/views/shell/UpdateAlerts.h"

#include <QUrl>

#include <type_traits>

namespace vexel {

namespace {

AlertRequest notice(QString message) {
    return AlertRequest{QStringLiteral("Software Update"),
                        std::move(message),
                        {},
                        {{QStringLiteral("OK"), AlertButtonRole::defaultAction}}};
}

} // namespace

QCoro::Task<void> showUpdateCheckResult(DialogService& dialogs, update::UpdateCheckResult result) {
    if (const auto* available = std::get_if<update::UpdateAvailable>(&result)) {
        // The page is opened only when asked, and only as the address it is:
        // the feed checked it is http or https.
        const QUrl page(QString::fromStdString(available->url), QUrl::StrictMode);
        AlertRequest question{QStringLiteral("Software Update"),
                              QStringLiteral("Vexel %1 is available.")
                                  .arg(QString::fromStdString(available->version)),
                              QStringLiteral("Open the download page to get it."),
                              {{QStringLiteral("Download"), AlertButtonRole::defaultAction},
                               {QStringLiteral("Later"), AlertButtonRole::cancel}}};
        QCoro::Task<int> asking = dialogs.alert(std::move(question));
        if (co_await asking == 0 && page.isValid()) {
            dialogs.openUrl(page);
        }
    } else if (std::holds_alternative<update::UpToDate>(result)) {
        QCoro::Task<int> telling = dialogs.alert(notice(QStringLiteral("Vexel is up to date.")));
        co_await telling;
    } else {
        QCoro::Task<int> telling =
            dialogs.alert(notice(QStringLiteral("Could not check for updates.")));
        co_await telling;
    }
}

} // namespace vexel
