#pragma once

#include "domain/entities/ExportFormat.h"
#include "presentation/viewmodels/runtime/Observable.h"

#include <QObject>
#include <QSettings>
#include <QString>
#include <QVariantMap>

#include <filesystem>

namespace vexel {

// The state behind the settings window: the export format picked there, the
// folder exports are offered to be saved in, and the version strings of the
// about section. GUI thread only.
class SettingsViewModel : public QObject {
    Q_OBJECT

public:
    // `userDefaults` must outlive the view model. `infoDictionary` describes
    // the application: its version under "CFBundleShortVersionString" and its
    // build under "CFBundleVersion".
    SettingsViewModel(QSettings& userDefaults, QVariantMap infoDictionary,
                      QObject* parent = nullptr);

    // Kept in memory only; MPEG-4 at first.
    ExportFormat selectedExportFormat() const { return selectedExportFormat_.get(); }
    void setSelectedExportFormat(ExportFormat format);

    // The settings window's folder panel stores its pick under
    // "exportDirectory"; see exportDirectory(const QSettings&).
    std::filesystem::path exportDirectory() const;
    // Stores `folder` as its path text under "exportDirectory", where every
    // later export reads it.
    void setExportDirectory(const std::filesystem::path& folder);

    // The value in the information dictionary when it is text, else "Unknown".
    QString appVersion() const;
    QString buildNumber() const;

signals:
    void selectedExportFormatChanged();
    void exportDirectoryChanged();

private:
    QString infoText(const QString& key) const;

    Observable<ExportFormat> selectedExportFormat_;
    QSettings& userDefaults_;
    QVariantMap infoDictionary_;
};

} // namespace vexel
