#pragma once

#include <QAction>
#include <QMainWindow>
#include <QPointer>

#include <functional>

namespace vexel {

class EditorGraph;
class MainView;
class MainWindowCommands;
class TutorialOverlay;

// The editor's one window. It opens at once with an empty placeholder; the
// editor fills it when its object graph is built. Closing it is not its own
// decision: the close guard says whether it may close now, and otherwise has
// taken the request over (asking to save, say).
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr QSize defaultSize{1200, 800};
    static constexpr QSize minimumEditorSize{800, 600};

    explicit MainWindow(QWidget* parent = nullptr);

    // Shows the editor over `graph`, which outlives the window. Once only.
    void showEditor(EditorGraph& graph);
    // None until showEditor().
    EditorGraph* editorGraph() const { return graph_; }
    // The editor's content; none until showEditor().
    MainView* mainView() const { return mainView_; }
    // The guided tutorial's layer over the content; none until showEditor().
    TutorialOverlay* tutorialOverlay() const { return tutorialOverlay_; }

    // Shows the window in front of the others with the keyboard focus,
    // restored when it was minimised (kept maximised or full screen where it
    // was). A desktop that guards against windows taking the focus may only
    // mark it as wanting attention.
    void bringToFront();

    // Asked on every close: true lets the window close. None: it closes.
    void setCloseGuard(std::function<bool()> guard) { closeGuard_ = std::move(guard); }

    // "Quit" (Ctrl+Q) for this window and its menus; triggering it emits
    // quitRequested().
    QAction& quitAction() const { return *quitAction_; }

    // The actions of the menus and keys, and the flows behind them.
    MainWindowCommands& commands() const { return *commands_; }

signals:
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    EditorGraph* graph_ = nullptr;
    MainView* mainView_ = nullptr;
    TutorialOverlay* tutorialOverlay_ = nullptr;
    std::function<bool()> closeGuard_;
    QPointer<QAction> quitAction_;
    MainWindowCommands* commands_ = nullptr;
};

} // namespace vexel
