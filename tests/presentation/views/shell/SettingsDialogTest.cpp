#include "presentation/views/shell/SettingsDialog.h"

#include "presentation/support/EventLoop.h"
#include "presentation/support/ScriptedDialogService.h"
#include "presentation/views/kit/ElidedLabel.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/shell/MainWindow.h"
#include "presentation/views/shell/MainWindowCommands.h"
#include "presentation/views/shell/MenuTable.h"
#include "support/RecordingLogger.h"
#include "support/media/TemporaryFolder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace vexel;
using vexel::test::awaitTask;
using vexel::test::ScriptedDialogService;
using vexel::testing::ScopedEnvironment;
using vexel::testing::TemporaryFolder;

namespace {

// The settings window over settings of its own, in a home folder of its own.
struct SettingsHarness {
    explicit SettingsHarness(QVariantMap info = {},
                             std::optional<QUrl> site = QUrl("https://vexel.example/app/"))
        : settings(std::make_unique<SettingsViewModel>(userDefaults, std::move(info))) {
        dialog = std::make_unique<SettingsDialog>(
            SettingsDialog::Context{*settings, notifier, dialogs, icons, logger, std::move(site)});
        // Shown, so that clicks reach its buttons as a pointer's do.
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }

    TemporaryFolder home;
    ScopedEnvironment homeVariable{"HOME", home.path().string()};
    ScopedEnvironment configVariable{"XDG_CONFIG_HOME", (home / ".config").string()};
    QSettings userDefaults{QFile::decodeName((home / "settings.ini").c_str()),
                           QSettings::IniFormat};
    std::unique_ptr<SettingsViewModel> settings;
    TutorialNotifier notifier;
    ScriptedDialogService dialogs;
    std::shared_ptr<test::RecordingLogger> logger = std::make_shared<test::RecordingLogger>();
    IconRegistry icons{logger};
    std::unique_ptr<SettingsDialog> dialog;
};

TEST(SettingsDialogTest, TheExportFolderIsShownByNameAndChosenInAPanel) {
    SettingsHarness harness;
    SettingsDialog& dialog = *harness.dialog;
    EXPECT_EQ(dialog.folderLabel().text(), "Videos");
    EXPECT_EQ(dialog.folderLabel().elideMode(), Qt::ElideMiddle);

    // Cancelled: nothing is stored.
    harness.dialogs.answerPanel({});
    awaitTask(dialog.chooseExportDirectory());
    ASSERT_EQ(harness.dialogs.panels().size(), 1u);
    const FilePanelRequest& panel = harness.dialogs.panels()[0];
    EXPECT_EQ(panel.title, "Choose Export Directory");
    EXPECT_EQ(panel.kind, FilePanelKind::openFolder);
    // No videos folder exists here: the panel opens at home.
    EXPECT_EQ(panel.directory, harness.home.path());
    EXPECT_FALSE(harness.userDefaults.contains("exportDirectory"));

    // Chosen by the button: the path text is stored and the row follows.
    const std::filesystem::path chosen = harness.home / "Finished films";
    harness.dialogs.answerPanel({chosen});
    QTest::mouseClick(&dialog.chooseButton(), Qt::LeftButton);
    test::settle();
    EXPECT_EQ(harness.userDefaults.value("exportDirectory").toString(),
              QFile::decodeName(chosen.c_str()));
    EXPECT_EQ(dialog.folderLabel().text(), "Finished films");

    // The format is the view model's, written back only from the user's pick.
    EXPECT_EQ(dialog.formatBox().currentText(), "MP4 (.mp4)");
    harness.settings->setSelectedExportFormat(ExportFormat::mov);
    EXPECT_EQ(dialog.formatBox().currentText(), "MOV (.mov)");
    dialog.formatBox().setCurrentIndex(0);
    EXPECT_EQ(harness.settings->selectedExportFormat(), ExportFormat::mov);
    emit dialog.formatBox().activated(0);
    EXPECT_EQ(harness.settings->selectedExportFormat(), ExportFormat::mp4);
}

TEST(SettingsDialogTest, ShowsTheMenusKeysTheVersionAndTheSupportPages) {
    SettingsHarness harness;
    SettingsDialog& dialog = *harness.dialog;
    MainWindow window;
    const std::vector<ShortcutRow> rows = shortcutRows();
    ASSERT_EQ(dialog.shortcutLabels().size(), rows.size());
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const auto& [name, keys] = dialog.shortcutLabels()[index];
        EXPECT_EQ(name->text(), rows[index].action);
        EXPECT_EQ(keys->text(), window.commands()
                                    .action(rows[index].command)
                                    .shortcut()
                                    .toString(QKeySequence::NativeText));
    }

    EXPECT_EQ(dialog.versionLabel().text(), "Unknown");
    EXPECT_EQ(dialog.buildLabel().text(), "Unknown");
    SettingsHarness named({{"CFBundleShortVersionString", "1.2.0"}, {"CFBundleVersion", "abc"}});
    EXPECT_EQ(named.dialog->versionLabel().text(), "1.2.0");
    EXPECT_EQ(named.dialog->buildLabel().text(), "abc");

    for (QAbstractButton* link : dialog.linkButtons()) {
        QTest::mouseClick(link, Qt::LeftButton);
    }
    EXPECT_EQ(harness.dialogs.openedUrls(),
              (std::vector<QUrl>{QUrl("https://vexel.example/app/support"),
                                 QUrl("https://vexel.example/app/terms"),
                                 QUrl("https://vexel.example/app/privacy")}));

    SettingsHarness offline({}, std::nullopt);
    for (QAbstractButton* link : offline.dialog->linkButtons()) {
        EXPECT_FALSE(link->isEnabled()) << link->text().toStdString();
    }

    QSignalSpy restarts(&harness.notifier, &TutorialNotifier::showTutorial);
    QTest::mouseClick(&dialog.restartTutorialButton(), Qt::LeftButton);
    QTest::mouseClick(&dialog.restartTutorialButton(), Qt::LeftButton);
    EXPECT_EQ(restarts.count(), 2);
}

} // namespace
