#include "app/AppEnvironment.h"

#include "platform/keychain/SystemSecretStore.h"

#include <QGuiApplication>
#include <QScreen>

#include <utility>

namespace vexel {

AppEnvironment AppEnvironment::system(std::shared_ptr<Logger> logger) {
    AppEnvironment environment;
    environment.logger = std::move(logger);
    environment.secretStore = keychain::makeSystemSecretStore(keychain::defaultKeyFolder());
    environment.openUserDefaults = [] { return std::make_unique<QSettings>(); };
    environment.resources = ResourceBundle::main();
    std::optional<double> refreshRate;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        refreshRate = screen->refreshRate();
    }
    environment.displayLinks = timerDisplayLinks(refreshRate);
    environment.infoDictionary = buildInfoDictionary();
    return environment;
}

QVariantMap AppEnvironment::buildInfoDictionary() {
    QVariantMap info{{QStringLiteral("CFBundleShortVersionString"), QStringLiteral(VEXEL_VERSION)}};
    // A build without an id has none to show.
    if (const QString build = QStringLiteral(VEXEL_BUILD_ID); !build.isEmpty()) {
        info.insert(QStringLiteral("CFBundleVersion"), build);
    }
    return info;
}

} // namespace vexel
