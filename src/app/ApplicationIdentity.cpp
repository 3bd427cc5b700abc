#include "app/ApplicationIdentity.h"

#include "platform/desktop/ReduceMotionWatcher.h"
#include "presentation/views/kit/Motion.h"
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
    followDesktopMotion(application);
}

void followDesktopMotion(QApplication& application) {
    const QString name = QStringLiteral("vexelDesktopMotion");
    delete application.findChild<desktop::ReduceMotionWatcher*>(name, Qt::FindDirectChildrenOnly);
    auto* motion = new desktop::ReduceMotionWatcher(desktop::ReduceMotionWatcher::systemSources(),
                                                    &application);
    motion->setObjectName(name);
    setReduceMotion(motion->reduceMotion());
    QObject::connect(motion, &desktop::ReduceMotionWatcher::reduceMotionChanged, &application,
                     [](bool reduce) { setReduceMotion(reduce); });
}

} // namespace vexel
