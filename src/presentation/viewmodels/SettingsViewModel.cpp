#include "presentation/viewmodels/SettingsViewModel.h"

#include "presentation/viewmodels/ExportDirectory.h"

#include <utility>

namespace vexel {

SettingsViewModel::SettingsViewModel(QSettings& userDefaults, QVariantMap infoDictionary,
                                     QObject* parent)
    : QObject(parent)
    , selectedExportFormat_(ExportFormat::mp4, [this] { emit selectedExportFormatChanged(); })
    , userDefaults_(userDefaults)
    , infoDictionary_(std::move(infoDictionary)) {}

void SettingsViewModel::setSelectedExportFormat(ExportFormat format) {
    selectedExportFormat_.set(format);
}

std::filesystem::path SettingsViewModel::exportDirectory() const {
    return vexel::exportDirectory(userDefaults_);
}

QString SettingsViewModel::appVersion() const {
    return infoText(QStringLiteral("CFBundleShortVersionString"));
}

QString SettingsViewModel::buildNumber() const {
    return infoText(QStringLiteral("CFBundleVersion"));
}

QString SettingsViewModel::infoText(const QString& key) const {
    const QVariant value = infoDictionary_.value(key);
    if (value.typeId() != QMetaType::QString) {
        return QStringLiteral("Unknown");
    }
    return value.toString();
}

} // namespace vexel
