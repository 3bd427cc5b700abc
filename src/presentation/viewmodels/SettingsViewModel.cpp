#include "presentation/viewmodels/SettingsViewModel.h"

#include "presentation/viewmodels/ExportDirectory.h"

#include <QFile>

#include <utility>

namespace vexel {

namespace {

constexpr const char* exportDirectoryKey = "exportDirectory";

} // namespace

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

void SettingsViewModel::setExportDirectory(const std::filesystem::path& folder) {
    const QString path = QFile::decodeName(folder.c_str());
    const QVariant stored = userDefaults_.value(exportDirectoryKey);
    if (stored.typeId() == QMetaType::QString && stored.toString() == path) {
        return;
    }
    userDefaults_.setValue(exportDirectoryKey, path);
    emit exportDirectoryChanged();
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
