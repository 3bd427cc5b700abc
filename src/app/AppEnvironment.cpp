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
    return {{QStringLiteral("CFBundleShortVersionString"), QStringLiteral(VEXEL_VERSION)},
            {QStringLiteral("CFBundleVersion"), QStringLiteral(VEXEL_VERSION)}};
}

} // namespace vexel
