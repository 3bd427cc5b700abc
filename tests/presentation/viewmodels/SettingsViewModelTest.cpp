#include "presentation/viewmodels/SettingsViewModel.h"

#include "support/media/TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::TemporaryFolder;

namespace {

std::filesystem::path localPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Settings in a file of the test's own, never the user's.
struct SettingsViewModelTest : ::testing::Test {
    SettingsViewModelTest() { QStandardPaths::setTestModeEnabled(true); }

    TemporaryFolder folder;
    QString settingsFile = QFile::decodeName((folder / "settings.ini").c_str());
    QSettings settings{settingsFile, QSettings::IniFormat};
};

} // namespace

TEST_F(SettingsViewModelTest, OffersTheStoredFolderElseTheVideosFolder) {
    SettingsViewModel viewModel(settings, {});
    // Qt's test mode gives the XDG videos folder of the home folder.
    const std::filesystem::path videos = localPath(QDir::homePath()) / "Videos";
    EXPECT_EQ(viewModel.exportDirectory(), videos);

    // Values that are not a folder's path count as none.
    settings.setValue("exportDirectory", 42);
    EXPECT_EQ(viewModel.exportDirectory(), videos);
    settings.setValue("exportDirectory", QString());
    EXPECT_EQ(viewModel.exportDirectory(), videos);

    // A folder that has gone is still offered; the save panel deals with it.
    const std::filesystem::path gone = folder / "Exports that were deleted";
    settings.setValue("exportDirectory", QFile::decodeName(gone.c_str()));
    EXPECT_EQ(viewModel.exportDirectory(), gone);

    // What the settings window stored is read back from the file next time.
    settings.sync();
    QSettings reopened(settingsFile, QSettings::IniFormat);
    EXPECT_EQ(SettingsViewModel(reopened, {}).exportDirectory(), gone);
}

TEST_F(SettingsViewModelTest, ShowsVersionTextsAndUnknownForAnythingElse) {
    const SettingsViewModel texts(
        settings, {{"CFBundleShortVersionString", "1.4.2"}, {"CFBundleVersion", "317"}});
    EXPECT_EQ(texts.appVersion(), "1.4.2");
    EXPECT_EQ(texts.buildNumber(), "317");

    const SettingsViewModel numbers(
        settings, {{"CFBundleShortVersionString", 1.4}, {"CFBundleVersion", 317}});
    EXPECT_EQ(numbers.appVersion(), "Unknown");
    EXPECT_EQ(numbers.buildNumber(), "Unknown");

    const SettingsViewModel none(settings, {});
    EXPECT_EQ(none.appVersion(), "Unknown");
    EXPECT_EQ(none.buildNumber(), "Unknown");
}

TEST_F(SettingsViewModelTest, TellsOfAnExportFormatChangeOnlyWhenItChanges) {
    SettingsViewModel viewModel(settings, {});
    QSignalSpy changed(&viewModel, &SettingsViewModel::selectedExportFormatChanged);
    EXPECT_EQ(viewModel.selectedExportFormat(), ExportFormat::mp4);
    viewModel.setSelectedExportFormat(ExportFormat::mov);
    viewModel.setSelectedExportFormat(ExportFormat::mov);
    EXPECT_EQ(viewModel.selectedExportFormat(), ExportFormat::mov);
    EXPECT_EQ(changed.count(), 1);
    // Kept in memory only.
    EXPECT_FALSE(settings.contains("selectedExportFormat"));
    EXPECT_TRUE(settings.allKeys().isEmpty());
}

TEST_F(SettingsViewModelTest, StoresAChosenFolderAsItsPathText) {
    SettingsViewModel viewModel(settings, {});
    QSignalSpy changed(&viewModel, &SettingsViewModel::exportDirectoryChanged);
    const std::filesystem::path chosen = folder / "Exports";
    viewModel.setExportDirectory(chosen);
    viewModel.setExportDirectory(chosen);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(settings.value("exportDirectory").toString(), QFile::decodeName(chosen.c_str()));
    EXPECT_EQ(viewModel.exportDirectory(), chosen);
}
