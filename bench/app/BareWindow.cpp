// An empty window of the editor's size in the editor's style, which says on
// stderr when it first reaches the screen, as the editor does with debug
// logging on.

#include <QApplication>
#include <QEvent>
#include <QStyleFactory>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace {

class ExposeMarker : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && window != nullptr && window->isExposed()) {
            std::fputs("com.vexel.app general debug: [App] Window exposed\n", stderr);
            std::fflush(stderr);
            window->removeEventFilter(this);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QWidget window;
    window.resize(1200, 800);
    window.show();
    ExposeMarker marker;
    window.windowHandle()->installEventFilter(&marker);
    return application.exec();
}
