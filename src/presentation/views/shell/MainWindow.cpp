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
