#pragma once

// moc cannot parse the standard headers these bring in, and needs none of them.
#ifndef Q_MOC_RUN
#include "platform/update/UpdateCheckResult.h"
#include "presentation/viewmodels/EditorGraph.h"
#endif
#include "presentation/viewmodels/CheckForUpdatesViewModel.h"
#include "presentation/viewmodels/runtime/TaskHandle.h"
#include "presentation/viewmodels/runtime/TurnQueue.h"
#include "presentation/views/kit/DialogService.h"
#include "presentation/views/shell/WindowCommand.h"

#include <QAction>
#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace vexel {

class CommandPaletteDialog;
class IconRegistry;
class SettingsDialog;

// What the window does for its menus and keys: one action per command, each
// always enabled (only the update check follows its updater), and the flows
// behind them: the project panels, the question that guards unsaved work
// before New, Open and a tutorial restart, the add-files panel, the window's
// side of a save without a folder and of a finished export, the command
// palette and the settings window. Before the editor is attached every
// command does nothing. GUI thread only.
class MainWindowCommands : public QObject {
    Q_OBJECT

public:
    // Makes the actions and puts their keys on `window`; quitting is the
    // window's own `quitAction`.
    MainWindowCommands(QWidget& window, QAction& quitAction);
    ~MainWindowCommands() override;

    // The first action of `command` (Delete Selected Clip has two menu items).
    QAction& action(WindowCommand command) const;
    // The action of the menu item `title` of `command`.
    QAction& action(WindowCommand command, const QString& title) const;

    // Every question and panel goes through `dialogs`, which must outlive the
    // commands.
    void setDialogService(DialogService& dialogs);
    // The editor the commands act on, once; it must outlive them.
    void attach(EditorGraph& graph);
    EditorGraph* graph() const { return graph_; }
    // The updater behind "Check for Updates..."; none leaves the item disabled.
    void setUpdater(update::Updater* updater);
    const CheckForUpdatesViewModel* updateCheck() const { return updateCheck_.get(); }
    // The product's web site, whose support pages the settings link to; none
    // disables the links. For settings windows opened from now on.
    void setSupportSite(std::optional<QUrl> site) { supportSite_ = std::move(site); }

    // Opens the palette over the current project, or closes it when open.
    void togglePalette();
    // The palette while it is open.
    CommandPaletteDialog* palette() const;
    // Shows the settings window, made anew or brought to the front.
    void showSettings();
    SettingsDialog* settingsDialog() const;

    // True when the current project may be thrown away: it has no unsaved
    // changes, or the user saved them or chose not to.
    QCoro::Task<bool> confirmDiscardChanges();
    QCoro::Task<void> newProjectWithConfirmation();
    QCoro::Task<void> openProjectWithConfirmation();
    // Opens the project folder `folder` once unsaved work is settled, as Open
    // does with the folder its panel gives.
    QCoro::Task<void> openProjectFolderWithConfirmation(std::filesystem::path folder);
    // A fresh project with the tutorial's welcome, once unsaved work is settled.
    QCoro::Task<void> restartTutorialWithConfirmation();
    QCoro::Task<void> presentSavePanel();
    QCoro::Task<void> presentSaveAsPanel();
    QCoro::Task<void> presentOpenProjectPanel();
    QCoro::Task<void> presentAddFilePanel();
    // Asks where a finished export goes, moves it there and says so in the
    // chat, then lets the tutorial move on. One request at a time: a request
    // that comes while another is being settled waits for it.
    QCoro::Task<void> settleExportSaveRequest();

    // Tells the user what an update check found.
    void presentUpdateResult(const update::UpdateCheckResult& result);

    // The task a command or request started last, until the next one.
    const std::optional<TaskHandle>& lastTask() const { return lastTask_; }

signals:
    // The command palette is asked to open, or to close when it is open.
    void commandPaletteToggled();

private:
    void makeActions(QWidget& window, QAction& quitAction);
    void run(WindowCommand command);
    void start(TaskHandle::Body body);
    void deleteSelectedClip();
    void splitAtPlayhead();
    void showSaveDialogIfAsked();
    void showAbout();

    // The panel's answer; none when it was cancelled or the commands went.
    static QCoro::Task<std::vector<std::filesystem::path>> choose(QPointer<MainWindowCommands> self,
                                                                  FilePanelRequest request);
    // The folder to save the project in, from the panel `request`: asks before
    // it replaces a project, and asks again where the folder may not be
    // written; none when the user cancels.
    static QCoro::Task<std::optional<std::filesystem::path>>
    chooseProjectFolder(QPointer<MainWindowCommands> self, FilePanelRequest request);
    static QCoro::Task<bool> confirmDiscard(QPointer<MainWindowCommands> self);
    static QCoro::Task<void> newProjectAfterConfirming(QPointer<MainWindowCommands> self);
    static QCoro::Task<void> openProjectAfterConfirming(QPointer<MainWindowCommands> self);
    static QCoro::Task<void> openFolderAfterConfirming(QPointer<MainWindowCommands> self,
                                                       std::filesystem::path folder);
    static QCoro::Task<void> restartTutorialAfterConfirming(QPointer<MainWindowCommands> self);
    static QCoro::Task<void> saveWithPanel(QPointer<MainWindowCommands> self, bool saveAs);
    static QCoro::Task<void> openWithPanel(QPointer<MainWindowCommands> self);
    static QCoro::Task<void> addFilesWithPanel(QPointer<MainWindowCommands> self);
    static QCoro::Task<void> settleExport(QPointer<MainWindowCommands> self);

    struct CommandAction {
        WindowCommand command;
        QString title;
        QPointer<QAction> action;
    };
    // One per menu item, in the menu table's order, then one per command
    // without an item.
    std::vector<CommandAction> actions_;
    QPointer<QWidget> window_;
    DialogService* dialogs_ = nullptr;
    EditorGraph* graph_ = nullptr;
    std::unique_ptr<CheckForUpdatesViewModel> updateCheck_;
    // Finished exports are settled one after the other.
    TurnQueue exportTurns_;
    std::optional<TaskHandle> lastTask_;
    std::optional<QUrl> supportSite_;
    std::unique_ptr<IconRegistry> icons_;
    QPointer<CommandPaletteDialog> palette_;
    QPointer<SettingsDialog> settingsDialog_;
};

} // namespace vexel
