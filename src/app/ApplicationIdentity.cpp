#include "app/ApplicationIdentity.h"

#include "presentation/views/kit/Theme.h"

#include <QApplication>
#include <QIcon>

namespace vexel {

void setUpApplication(QApplication& application) {
    QApplication::setOrganizationName(QStringLiteral("Vexel"));
    QApplication::setApplicationName(QStringLiteral("Vexel"));
    QApplication::setApplicationVersion(QStringLiteral(VEXEL_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("vexel"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vexel.svg")));
    applyDarkTheme(application);
}

} // namespace vexel
