#pragma once

#include <QPointer>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <initializer_list>

namespace vexel::test {

// A left-button gesture on a shown window, delivered as the window system
// delivers it: the widget under the press takes it (or its parent, when it
// ignores it) and keeps the moves and the release wherever the pointer goes.
// Points are in the coordinates of `surface`, which stays put while the
// widgets on it move.
class Pointer {
public:
    explicit Pointer(QWidget& surface)
        : surface_(&surface) {}

    Pointer& press(QPoint at) {
        QTest::mousePress(window(), Qt::LeftButton, Qt::NoModifier, inWindow(at));
        return *this;
    }

    Pointer& moveTo(QPoint at) {
        QTest::mouseMove(window(), inWindow(at));
        return *this;
    }

    Pointer& release(QPoint at) {
        QTest::mouseRelease(window(), Qt::LeftButton, Qt::NoModifier, inWindow(at));
        return *this;
    }

    // Presses at the first point, moves through the others and releases at
    // the last.
    Pointer& drag(std::initializer_list<QPoint> path) {
        press(*path.begin());
        for (const QPoint& at : path) {
            moveTo(at);
        }
        return release(*(path.end() - 1));
    }

    Pointer& click(QPoint at) { return press(at).release(at); }

private:
    QWindow* window() const { return surface_->window()->windowHandle(); }
    QPoint inWindow(QPoint at) const { return surface_->mapTo(surface_->window(), at); }

    QPointer<QWidget> surface_;
};

} // namespace vexel::test
