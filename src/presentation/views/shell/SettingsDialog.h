#pragma once

// moc cannot parse the standard headers these bring in, and needs none of them.
#ifndef Q_MOC_RUN
#include "foundation/Logger.h"
#endif
#include "presentation/viewmodels/SettingsViewModel.h"
#include "presentation/viewmodels/TutorialNotifier.h"
#include "presentation/views/kit/DialogService.h"

#include <QCoro/QCoroTask>
#include <QDialog>
#include <QPointer>
#include <QUrl>

#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLabel;
class QVBoxLayout;

namespace vexel {

class ElidedLabel;
class IconRegistry;

// The settings window: the export format and folder, a restart of the guided
// tutorial, the keyboard shortcuts as the menus bind them, the version, and
// links to the product's support pages. It changes the settings only through
// its view model, and restarts the tutorial by asking whoever listens.
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr QSize minimumDialogSize{450, 350};

    // What the window works with; all of it outlives the window but `site`,
    // the product's web site (none disables the links).
    struct Context {
        SettingsViewModel& settings;
        TutorialNotifier& tutorialNotifier;
        DialogService& dialogs;
        const IconRegistry& icons;
        std::shared_ptr<Logger> logger;
        std::optional<QUrl> site;
    };

    explicit SettingsDialog(Context context, QWidget* parent = nullptr);

    // The folder panel of "Choose...": a folder picked there becomes the one
    // exports are offered to go to; a cancelled panel changes nothing.
    QCoro::Task<void> chooseExportDirectory();

    QComboBox& formatBox() const { return *format_; }
    ElidedLabel& folderLabel() const { return *folder_; }
    QAbstractButton& chooseButton() const { return *choose_; }
    QAbstractButton& restartTutorialButton() const { return *restart_; }
    // "Shortcut name" and its keys as shown, in order.
    const std::vector<std::pair<QLabel*, QLabel*>>& shortcutLabels() const { return shortcuts_; }
    QLabel& versionLabel() const { return *version_; }
    QLabel& buildLabel() const { return *build_; }
    // Support, terms, privacy.
    const std::vector<QAbstractButton*>& linkButtons() const { return links_; }

private:
    QWidget* makeExportSection();
    QWidget* makeTutorialSection();
    QWidget* makeShortcutsSection();
    QWidget* makeAboutSection();
    QWidget* makeSupportSection();
    void showFormat();
    void showFolder();

    Context context_;
    QComboBox* format_ = nullptr;
    ElidedLabel* folder_ = nullptr;
    QAbstractButton* choose_ = nullptr;
    QAbstractButton* restart_ = nullptr;
    std::vector<std::pair<QLabel*, QLabel*>> shortcuts_;
    QLabel* version_ = nullptr;
    QLabel* build_ = nullptr;
    std::vector<QAbstractButton*> links_;
};

} // namespace vexel
