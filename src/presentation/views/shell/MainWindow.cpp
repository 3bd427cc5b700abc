#include "presentation/views/shell/MainWindow.h"

#include "presentation/viewmodels/EditorGraph.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/shell/MainWindowCommands.h"
#include "presentation/views/shell/TutorialOverlayBinding.h"
#include "presentation/views/shell/WindowMenuBar.h"

#include <QCloseEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QWidget>

namespace vexel {

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Vexel"));
    setMinimumSize(minimumEditorSize);
    resize(defaultSize);
    // Empty, in the window's dark colour, until the editor is built.
    setCentralWidget(new QWidget(this));

    quitAction_ = new QAction(QStringLiteral("Quit"), this);
    // The desktop's own quit keys, and Ctrl+Q wherever the desktop has none.
    QList<QKeySequence> quitKeys = QKeySequence::keyBindings(QKeySequence::Quit);
    const QKeySequence ctrlQ(Qt::CTRL | Qt::Key_Q);
    if (!quitKeys.contains(ctrlQ)) {
        quitKeys.prepend(ctrlQ);
    }
    quitAction_->setShortcuts(quitKeys);
    quitAction_->setShortcutContext(Qt::WindowShortcut);
    connect(quitAction_, &QAction::triggered, this, &MainWindow::quitRequested);
    addAction(quitAction_);

    commands_ = new MainWindowCommands(*this, *quitAction_);
    fillMenuBar(*menuBar(), *commands_);
}

void MainWindow::showEditor(EditorGraph& graph) {
    if (graph_ != nullptr) {
        return;
    }
    graph_ = &graph;
    commands_->attach(graph);
    // The timeline's buttons run the window's own commands.
    const auto trigger = [commands = QPointer(commands_)](WindowCommand command) {
        return [commands, command] {
            if (commands) {
                commands->action(command).trigger();
            }
        };
    };
    mainView_ = new MainView(MainView::Context{
        graph.timelineViewModel(), graph.previewViewModel(), graph.instructionViewModel(),
        graph.tutorialState(), graph.userDefaults(), graph.logger(), graph.clock(), graph.sleep(),
        graph.fileStager(), graph.mediaLoader(), trigger(WindowCommand::openFilePicker),
        trigger(WindowCommand::toggleCommandPalette)});
    // Replaces (and deletes) the placeholder.
    setCentralWidget(mainView_);
    // Shown now, not later from the event loop as the layout would: a first
    // run's welcome then always comes before the project a start opens,
    // which ends it, whichever of the two the event loop would reach first.
    mainView_->show();
    tutorialOverlay_ =
        &attachTutorialOverlay(*mainView_, graph.instructionViewModel(), graph.tutorialState());
}

void MainWindow::bringToFront() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closeGuard_ && !closeGuard_()) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace vexel
