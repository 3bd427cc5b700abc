#include "presentation/views/shell/MainWindowCommands.h"

#include "domain/entities/EditCommand.h"
#include "domain/entities/ExportFormat.h"
#include "presentation/helpers/PaletteCommandBuilder.h"
#include "presentation/viewmodels/ExportDirectory.h"
#include "presentation/views/kit/EditRunner.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/kit/PlainText.h"
#include "presentation/views/shell/CommandPaletteDialog.h"
#include "presentation/views/shell/MenuTable.h"
#include "presentation/views/shell/ProjectFolderChoice.h"
#include "presentation/views/shell/SettingsDialog.h"
#include "presentation/views/shell/UpdateAlerts.h"

#include <QFile>
#include <QUrl>
#include <QWidget>

#include <stdexcept>
#include <utility>
#include <vector>

namespace vexel {

namespace {

constexpr const char* untitledProject = "Untitled.vexel";

enum SaveChangesAnswer { saveChanges = 0, discardChanges = 1 };

AlertRequest saveChangesQuestion() {
    return AlertRequest{QStringLiteral("Vexel"),
                        QStringLiteral("Save changes to the current project?"),
                        QStringLiteral("Your unsaved changes will be lost if you don't save them."),
                        {{QStringLiteral("Save"), AlertButtonRole::defaultAction},
                         {QStringLiteral("Don't Save"), AlertButtonRole::destructive},
                         {QStringLiteral("Cancel"), AlertButtonRole::cancel}}};
}

QString shownName(const std::filesystem::path& path) {
    return QFile::decodeName(path.filename().c_str());
}

// A project is a folder: the panel asks for its name, and choosing the name
// of one that exists chooses that folder; whether it may be saved over is
// asked once the panel has closed.
FilePanelRequest projectSavePanel(QString title,
                                  const std::optional<std::filesystem::path>& folder) {
    FilePanelRequest request;
    request.kind = FilePanelKind::saveFolder;
    request.title = std::move(title);
    request.suggestedName = QString::fromUtf8(untitledProject);
    request.confirmOverwrite = false;
    if (folder) {
        std::filesystem::path named = *folder;
        if (!named.has_filename()) {
            named = named.parent_path();
        }
        request.suggestedName = shownName(named);
        request.directory = named.parent_path();
    }
    return request;
}

AlertRequest replaceProjectQuestion(const std::filesystem::path& folder) {
    return AlertRequest{
        QStringLiteral("Vexel"),
        QStringLiteral("\u201c%1\u201d already exists. Do you want to replace it?")
            .arg(shownName(folder)),
        QStringLiteral("A project with the same name already exists in \u201c%1\u201d. "
                       "Replacing it will overwrite its current contents.")
            .arg(shownName(folder.parent_path())),
        {{QStringLiteral("Replace"), AlertButtonRole::destructive},
         {QStringLiteral("Cancel"), AlertButtonRole::cancel}}};
}

AlertRequest folderRefusal(const std::filesystem::path& folder, const ProjectFolderChoice& choice) {
    AlertRequest refusal{
        QStringLiteral("Vexel"), {}, {}, {{QStringLiteral("OK"), AlertButtonRole::defaultAction}}};
    if (choice.kind == ProjectFolderChoice::Kind::insideProject) {
        refusal.message = QStringLiteral("\u201c%1\u201d is inside the project \u201c%2\u201d.")
                              .arg(shownName(folder), shownName(choice.enclosingProject));
        refusal.informativeText = QStringLiteral(
            "A project can't be saved inside another project. Choose a place outside it.");
    } else {
        refusal.message = QStringLiteral("\u201c%1\u201d already exists and is not a project.")
                              .arg(shownName(folder));
        refusal.informativeText = QStringLiteral(
            "Only a project or an empty folder can be saved over. Choose another name.");
    }
    return refusal;
}

FilePanelRequest openProjectPanel() {
    FilePanelRequest request;
    request.kind = FilePanelKind::openFolder;
    request.title = QStringLiteral("Open Project");
    return request;
}

// The kinds the timeline takes, as the drop takes them: the extensions of
// the project's table and the other common movie, sound and picture files.
// Every file may be listed too, since a file's content, not its name, says
// what it holds; one the editor cannot use is reported when it is added.
FilePanelRequest addFilesPanel() {
    const QString movies = QStringLiteral("*.mp4 *.mov *.m4v *.avi *.mkv *.webm *.ts *.mts *.m2ts "
                                          "*.mpg *.mpeg *.ogv *.3gp *.flv *.wmv *.mxf *.dv");
    const QString audio =
        QStringLiteral("*.mp3 *.wav *.aac *.m4a *.flac *.ogg *.oga *.opus *.aif *.aiff *.wma");
    const QString images =
        QStringLiteral("*.jpg *.jpeg *.png *.heic *.gif *.webp *.bmp *.tif *.tiff");
    FilePanelRequest request;
    request.kind = FilePanelKind::openFiles;
    request.title = QStringLiteral("Add Files");
    request.nameFilters = {
        QStringLiteral("Media (%1 %2 %3)").arg(movies, audio, images),
        QStringLiteral("Movies (%1)").arg(movies), QStringLiteral("Audio (%1)").arg(audio),
        QStringLiteral("Images (%1)").arg(images), QStringLiteral("All Files (*)")};
    return request;
}

FilePanelRequest exportedVideoPanel(const ExportSaveRequest& export_) {
    FilePanelRequest request;
    request.kind = FilePanelKind::save;
    request.title = QStringLiteral("Save Exported Video");
    request.directory = existingExportFolder(export_.defaultDirectory);
    request.suggestedName = QString::fromStdString(export_.suggestedName);
    request.nameFilters = {QStringLiteral("Movies (*.mp4 *.mov)")};
    // The move replaces a file of that name: the user is asked first, about
    // the name with the suffix the file will be written under.
    request.confirmOverwrite = true;
    const std::string extension = export_.sourceURL.extension().string();
    if (!extension.empty()) {
        request.requiredSuffix = QString::fromStdString(extension.substr(1));
    }
    return request;
}

} // namespace

MainWindowCommands::MainWindowCommands(QWidget& window, QAction& quitAction)
    : QObject(&window)
    , window_(&window) {
    makeActions(window, quitAction);
    connect(this, &MainWindowCommands::commandPaletteToggled, this,
            &MainWindowCommands::togglePalette);
}

MainWindowCommands::~MainWindowCommands() = default;

void MainWindowCommands::makeActions(QWidget& window, QAction& quitAction) {
    const auto add = [&](WindowCommand command, const QString& title,
                         const QList<QKeySequence>& keys) {
        if (command == WindowCommand::quit) {
            actions_.push_back({command, title, &quitAction});
            return;
        }
        auto* action = new QAction(escapeMnemonic(title), &window);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        // Keys reach the window's actions whatever has the focus; a text field
        // that takes a plain key (Space, Backspace, Delete) claims it first.
        window.addAction(action);
        connect(action, &QAction::triggered, this, [this, command] { run(command); });
        actions_.push_back({command, title, action});
    };
    for (const WindowMenu& menu : menuTable()) {
        for (const MenuEntry& entry : menu.entries) {
            if (entry) {
                add(entry->command, entry->title, entry->keys);
            }
        }
    }
    for (const WindowCommand command : allWindowCommands) {
        if (!menuItem(command)) {
            add(command, {}, {});
        }
    }
    // Disabled until an updater says a check may start.
    action(WindowCommand::checkForUpdates).setEnabled(false);
}

QAction& MainWindowCommands::action(WindowCommand command) const {
    for (const CommandAction& entry : actions_) {
        if (entry.command == command) {
            return *entry.action;
        }
    }
    throw std::out_of_range("no action for the command");
}

QAction& MainWindowCommands::action(WindowCommand command, const QString& title) const {
    for (const CommandAction& entry : actions_) {
        if (entry.command == command && entry.title == title) {
            return *entry.action;
        }
    }
    throw std::out_of_range("no menu item of the command with that title");
}

void MainWindowCommands::setDialogService(DialogService& dialogs) {
    dialogs_ = &dialogs;
}

void MainWindowCommands::attach(EditorGraph& graph) {
    if (graph_ != nullptr) {
        return;
    }
    graph_ = &graph;
    icons_ = std::make_unique<IconRegistry>(graph.logger());
    // Queued: a request raised inside another handler is answered once that
    // one has returned, and each handler clears the request it answers.
    connect(&graph.mainViewModel(), &MainViewModel::showSaveDialogChanged, this,
            &MainWindowCommands::showSaveDialogIfAsked, Qt::QueuedConnection);
    connect(
        &graph.instructionViewModel().exportCoordinator(),
        &ExportCoordinator::exportSaveRequestChanged, this,
        [this] { start([self = QPointer(this)](std::stop_token) { return settleExport(self); }); },
        Qt::QueuedConnection);
    connect(&graph.tutorialNotifier(), &TutorialNotifier::showTutorial, this, [this] {
        start([self = QPointer(this)](std::stop_token) {
            return restartTutorialAfterConfirming(self);
        });
    });
}

void MainWindowCommands::setUpdater(update::Updater* updater) {
    QAction& item = action(WindowCommand::checkForUpdates);
    updateCheck_.reset();
    item.setEnabled(false);
    if (updater == nullptr) {
        return;
    }
    updateCheck_ = std::make_unique<CheckForUpdatesViewModel>(*updater);
    connect(updateCheck_.get(), &CheckForUpdatesViewModel::canCheckForUpdatesChanged, &item,
            [&item, check = updateCheck_.get()] { item.setEnabled(check->canCheckForUpdates()); });
}

void MainWindowCommands::run(WindowCommand command) {
    if (command == WindowCommand::checkForUpdates) {
        if (updateCheck_) {
            updateCheck_->checkForUpdates();
        }
        return;
    }
    if (graph_ == nullptr) {
        return;
    }
    const QPointer self(this);
    switch (command) {
    case WindowCommand::toggleCommandPalette:
        emit commandPaletteToggled();
        break;
    case WindowCommand::openFilePicker:
        start([self](std::stop_token) { return addFilesWithPanel(self); });
        break;
    case WindowCommand::saveProject:
        start([graph = graph_](std::stop_token) { return graph->mainViewModel().saveProject(); });
        break;
    case WindowCommand::openProject:
        start([self](std::stop_token) { return openProjectAfterConfirming(self); });
        break;
    case WindowCommand::newProject:
        start([self](std::stop_token) { return newProjectAfterConfirming(self); });
        break;
    case WindowCommand::saveProjectAs:
        start([self](std::stop_token) { return saveWithPanel(self, true); });
        break;
    case WindowCommand::undo:
        graph_->timelineViewModel().undo();
        break;
    case WindowCommand::redo:
        graph_->timelineViewModel().redo();
        break;
    case WindowCommand::togglePlayback:
        graph_->previewViewModel().togglePlayback();
        break;
    case WindowCommand::zoomIn:
        graph_->timelineViewModel().zoomIn();
        break;
    case WindowCommand::zoomOut:
        graph_->timelineViewModel().zoomOut();
        break;
    case WindowCommand::deleteSelectedClip:
        deleteSelectedClip();
        break;
    case WindowCommand::splitAtPlayhead:
        splitAtPlayhead();
        break;
    case WindowCommand::exportProject:
        // The menu always exports a movie; the timeline's own menu chooses.
        graph_->instructionViewModel().startDirectExport(ExportFormat::mov);
        break;
    case WindowCommand::about:
        showAbout();
        break;
    case WindowCommand::settings:
        showSettings();
        break;
    case WindowCommand::quit:
    case WindowCommand::checkForUpdates:
        break;
    }
}

void MainWindowCommands::start(TaskHandle::Body body) {
    std::shared_ptr<Logger> logger =
        graph_ != nullptr ? graph_->logger() : std::make_shared<NullLogger>();
    lastTask_ = TaskHandle::start(std::move(body), std::move(logger));
}

void MainWindowCommands::deleteSelectedClip() {
    const std::optional<Uuid> selected = graph_->timelineViewModel().selectedClipId();
    if (!selected) {
        return;
    }
    const EditRunner runner(graph_->errorBannerViewModel(), graph_->clock(), graph_->logger());
    lastTask_ = runner.runEdit(
        [timeline = QPointer(&graph_->timelineViewModel()), id = *selected]() -> QCoro::Task<void> {
            if (timeline) {
                EditCommand remove = EditCommand::RemoveClip{id};
                co_await timeline->executeCommand(std::move(remove));
            }
        },
        "Failed to delete clip");
}

void MainWindowCommands::splitAtPlayhead() {
    const EditRunner runner(graph_->errorBannerViewModel(), graph_->clock(), graph_->logger());
    lastTask_ = runner.runEdit(
        [timeline = QPointer(&graph_->timelineViewModel()),
         preview = QPointer(&graph_->previewViewModel())]() -> QCoro::Task<void> {
            if (timeline && preview) {
                co_await timeline->splitSelectedClipAtPlayhead(preview->currentTime());
            }
        },
        "Cannot split clip here");
}

void MainWindowCommands::showSaveDialogIfAsked() {
    MainViewModel& document = graph_->mainViewModel();
    if (!document.showSaveDialog()) {
        return;
    }
    document.setShowSaveDialog(false);
    start([self = QPointer(this)](std::stop_token) { return saveWithPanel(self, false); });
}

void MainWindowCommands::showAbout() {
    if (dialogs_ == nullptr) {
        return;
    }
    const SettingsViewModel& settings = graph_->settingsViewModel();
    AlertRequest about{
        QStringLiteral("About Vexel"),
        QStringLiteral("Vexel"),
        QStringLiteral("Version %1\nBuild %2").arg(settings.appVersion(), settings.buildNumber()),
        {{QStringLiteral("OK"), AlertButtonRole::defaultAction}}};
    start([dialogs = dialogs_, about = std::move(about)](std::stop_token) -> QCoro::Task<void> {
        QCoro::Task<int> telling = dialogs->alert(about);
        co_await telling;
    });
}

CommandPaletteDialog* MainWindowCommands::palette() const {
    return palette_;
}

SettingsDialog* MainWindowCommands::settingsDialog() const {
    return settingsDialog_;
}

void MainWindowCommands::togglePalette() {
    if (palette_) {
        palette_->reject();
        return;
    }
    if (graph_ == nullptr || !window_) {
        return;
    }
    palette_ = new CommandPaletteDialog(
        PaletteCommandBuilder::buildCommands(graph_->timelineViewModel().project()),
        [instructions = QPointer(&graph_->instructionViewModel())](const std::string& text) {
            // The choice only fills the chat bar: the user sends it, or not.
            if (instructions) {
                instructions->setInstructionText(text);
            }
        },
        window_);
    palette_->setAttribute(Qt::WA_DeleteOnClose);
    palette_->open();
}

void MainWindowCommands::showSettings() {
    if (graph_ == nullptr || dialogs_ == nullptr || !window_) {
        return;
    }
    if (!settingsDialog_) {
        settingsDialog_ = new SettingsDialog(
            SettingsDialog::Context{graph_->settingsViewModel(), graph_->tutorialNotifier(),
                                    *dialogs_, *icons_, graph_->logger(), supportSite_},
            window_);
        settingsDialog_->setAttribute(Qt::WA_DeleteOnClose);
    }
    settingsDialog_->show();
    settingsDialog_->raise();
    settingsDialog_->activateWindow();
}

void MainWindowCommands::presentUpdateResult(const update::UpdateCheckResult& result) {
    if (dialogs_ == nullptr) {
        return;
    }
    start([dialogs = dialogs_, result](std::stop_token) {
        return showUpdateCheckResult(*dialogs, result);
    });
}

QCoro::Task<bool> MainWindowCommands::confirmDiscardChanges() {
    return confirmDiscard(QPointer(this));
}

QCoro::Task<void> MainWindowCommands::newProjectWithConfirmation() {
    return newProjectAfterConfirming(QPointer(this));
}

QCoro::Task<void> MainWindowCommands::openProjectWithConfirmation() {
    return openProjectAfterConfirming(QPointer(this));
}

QCoro::Task<void>
MainWindowCommands::openProjectFolderWithConfirmation(std::filesystem::path folder) {
    return openFolderAfterConfirming(QPointer(this), std::move(folder));
}

QCoro::Task<void> MainWindowCommands::restartTutorialWithConfirmation() {
    return restartTutorialAfterConfirming(QPointer(this));
}

QCoro::Task<void> MainWindowCommands::presentSavePanel() {
    return saveWithPanel(QPointer(this), false);
}

QCoro::Task<void> MainWindowCommands::presentSaveAsPanel() {
    return saveWithPanel(QPointer(this), true);
}

QCoro::Task<void> MainWindowCommands::presentOpenProjectPanel() {
    return openWithPanel(QPointer(this));
}

QCoro::Task<void> MainWindowCommands::presentAddFilePanel() {
    return addFilesWithPanel(QPointer(this));
}

QCoro::Task<void> MainWindowCommands::settleExportSaveRequest() {
    return settleExport(QPointer(this));
}

QCoro::Task<bool> MainWindowCommands::confirmDiscard(QPointer<MainWindowCommands> self) {
    if (!self || self->graph_ == nullptr || self->dialogs_ == nullptr) {
        co_return false;
    }
    MainViewModel& document = self->graph_->mainViewModel();
    if (!document.isDirty()) {
        co_return true;
    }
    QCoro::Task<int> asking = self->dialogs_->alert(saveChangesQuestion());
    const int answer = co_await asking;
    if (!self) {
        co_return false;
    }
    if (answer == discardChanges) {
        co_return true;
    }
    if (answer != saveChanges) {
        co_return false;
    }
    if (document.currentProjectURL()) {
        QCoro::Task<void> saving = document.saveProject();
        co_await saving;
    } else {
        QCoro::Task<std::optional<std::filesystem::path>> choosing =
            chooseProjectFolder(self, projectSavePanel(QStringLiteral("Save Project"), {}));
        const std::optional<std::filesystem::path> chosen = co_await choosing;
        if (!chosen || !self) {
            co_return false;
        }
        QCoro::Task<void> saving = document.saveTo(*chosen);
        co_await saving;
    }
    // A save that failed left the project dirty: then nothing is thrown away.
    co_return self && !document.isDirty();
}

QCoro::Task<void> MainWindowCommands::newProjectAfterConfirming(QPointer<MainWindowCommands> self) {
    QCoro::Task<bool> confirming = confirmDiscard(self);
    if (co_await confirming && self) {
        co_await self->graph_->mainViewModel().newProject();
    }
}

QCoro::Task<void>
MainWindowCommands::openProjectAfterConfirming(QPointer<MainWindowCommands> self) {
    QCoro::Task<bool> confirming = confirmDiscard(self);
    if (co_await confirming && self) {
        QCoro::Task<void> opening = openWithPanel(self);
        co_await opening;
    }
}

QCoro::Task<void> MainWindowCommands::openFolderAfterConfirming(QPointer<MainWindowCommands> self,
                                                                std::filesystem::path folder) {
    QCoro::Task<bool> confirming = confirmDiscard(self);
    if (co_await confirming && self) {
        QCoro::Task<void> opening = self->graph_->mainViewModel().loadProject(folder);
        co_await opening;
    }
}

QCoro::Task<void>
MainWindowCommands::restartTutorialAfterConfirming(QPointer<MainWindowCommands> self) {
    QCoro::Task<bool> confirming = confirmDiscard(self);
    if (!co_await confirming || !self) {
        co_return;
    }
    self->graph_->tutorialState().setCurrentStep(std::nullopt);
    // A running edit lands first, and the new document then ends any tutorial:
    // the welcome comes after it, or it would be cleared at once.
    co_await self->graph_->mainViewModel().newProject();
    if (!self) {
        co_return;
    }
    TutorialState& tutorial = self->graph_->tutorialState();
    if (!tutorial.currentStep()) {
        tutorial.setCurrentStep(TutorialStep::welcome);
    }
}

QCoro::Task<std::vector<std::filesystem::path>>
MainWindowCommands::choose(QPointer<MainWindowCommands> self, FilePanelRequest request) {
    if (!self || self->graph_ == nullptr || self->dialogs_ == nullptr) {
        co_return {};
    }
    QCoro::Task<std::vector<std::filesystem::path>> choosing =
        self->dialogs_->filePanel(std::move(request));
    std::vector<std::filesystem::path> chosen = co_await choosing;
    if (!self) {
        co_return {};
    }
    co_return chosen;
}

QCoro::Task<void> MainWindowCommands::saveWithPanel(QPointer<MainWindowCommands> self,
                                                    bool saveAs) {
    if (!self || self->graph_ == nullptr) {
        co_return;
    }
    MainViewModel& document = self->graph_->mainViewModel();
    QCoro::Task<std::optional<std::filesystem::path>> choosing =
        chooseProjectFolder(self, saveAs ? projectSavePanel(QStringLiteral("Save Project As"),
                                                            document.currentProjectURL())
                                         : projectSavePanel(QStringLiteral("Save Project"), {}));
    const std::optional<std::filesystem::path> chosen = co_await choosing;
    if (chosen && self) {
        QCoro::Task<void> saving = document.saveTo(*chosen);
        co_await saving;
    }
}

QCoro::Task<std::optional<std::filesystem::path>>
MainWindowCommands::chooseProjectFolder(QPointer<MainWindowCommands> self,
                                        FilePanelRequest request) {
    for (;;) {
        QCoro::Task<std::vector<std::filesystem::path>> choosing = choose(self, request);
        const std::vector<std::filesystem::path> chosen = co_await choosing;
        if (chosen.empty() || !self || self->dialogs_ == nullptr) {
            co_return std::nullopt;
        }
        const std::filesystem::path& folder = chosen.front();
        const ProjectFolderChoice choice = classifyProjectFolder(folder);
        switch (choice.kind) {
        case ProjectFolderChoice::Kind::absent:
        case ProjectFolderChoice::Kind::emptyFolder:
            co_return folder;
        case ProjectFolderChoice::Kind::project: {
            QCoro::Task<int> asking = self->dialogs_->alert(replaceProjectQuestion(folder));
            const int answer = co_await asking;
            if (answer != 0 || !self) {
                co_return std::nullopt;
            }
            co_return folder;
        }
        case ProjectFolderChoice::Kind::occupied:
        case ProjectFolderChoice::Kind::insideProject:
            break;
        }
        // Told why, the user picks another place in a panel that opens where
        // this one was left.
        QCoro::Task<int> telling = self->dialogs_->alert(folderRefusal(folder, choice));
        co_await telling;
        if (!self) {
            co_return std::nullopt;
        }
        request.directory = folder.parent_path();
        request.suggestedName = shownName(folder);
    }
}

QCoro::Task<void> MainWindowCommands::openWithPanel(QPointer<MainWindowCommands> self) {
    QCoro::Task<std::vector<std::filesystem::path>> choosing = choose(self, openProjectPanel());
    const std::vector<std::filesystem::path> chosen = co_await choosing;
    if (!chosen.empty()) {
        QCoro::Task<void> opening = self->graph_->mainViewModel().loadProject(chosen.front());
        co_await opening;
    }
}

QCoro::Task<void> MainWindowCommands::addFilesWithPanel(QPointer<MainWindowCommands> self) {
    QCoro::Task<std::vector<std::filesystem::path>> choosing = choose(self, addFilesPanel());
    const std::vector<std::filesystem::path> chosen = co_await choosing;
    if (chosen.empty()) {
        co_return;
    }
    std::vector<QUrl> files;
    for (const std::filesystem::path& file : chosen) {
        files.push_back(QUrl::fromLocalFile(QFile::decodeName(file.c_str())));
    }
    QCoro::Task<void> adding = self->graph_->mainViewModel().addFiles(std::move(files));
    co_await adding;
}

QCoro::Task<void> MainWindowCommands::settleExport(QPointer<MainWindowCommands> self) {
    if (!self || self->graph_ == nullptr) {
        co_return;
    }
    QCoro::Task<TurnQueue::Turn> waiting = self->exportTurns_.waitForTurn();
    const TurnQueue::Turn turn = co_await waiting;
    if (!self || self->dialogs_ == nullptr) {
        co_return;
    }
    InstructionViewModel& instructions = self->graph_->instructionViewModel();
    ExportCoordinator& coordinator = instructions.exportCoordinator();
    if (const std::optional<ExportSaveRequest> request = coordinator.exportSaveRequest()) {
        QCoro::Task<std::vector<std::filesystem::path>> choosing =
            choose(self, exportedVideoPanel(*request));
        const std::vector<std::filesystem::path> chosen = co_await choosing;
        if (!self) {
            co_return;
        }
        // A request that changed while the panel was open (a new project
        // dropped it) is not the one the user answered.
        if (coordinator.exportSaveRequest() == request) {
            if (chosen.empty()) {
                instructions.cancelExportSave();
            } else {
                QCoro::Task<std::optional<std::string>> moving =
                    coordinator.completeExportSave(chosen.front());
                const std::optional<std::string> told = co_await moving;
                if (!self) {
                    co_return;
                }
                if (told) {
                    instructions.chatHistory().appendAssistantMessage(*told);
                }
            }
        }
    }
    if (TutorialOrchestrator* orchestrator = instructions.tutorialOrchestrator()) {
        if (const std::optional<std::string> prefill = orchestrator->handleExportSuccess()) {
            instructions.setInstructionText(*prefill);
            instructions.setShouldFocusInput(true);
        }
    }
}

} // namespace vexel
