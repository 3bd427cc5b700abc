#include "presentation/views/shell/MainWindow.h"

#include <QCloseEvent>
#include <QKeySequence>
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
    quitAction_->setShortcut(QKeySequence::Quit);
    quitAction_->setShortcutContext(Qt::WindowShortcut);
    connect(quitAction_, &QAction::triggered, this, &MainWindow::quitRequested);
    addAction(quitAction_);
}

void MainWindow::showEditor(EditorGraph& graph) {
    if (graph_ != nullptr) {
        return;
    }
    graph_ = &graph;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closeGuard_ && !closeGuard_()) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace vexel
