#include "presentation/views/kit/AnchoredPopup.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace vexel {

AnchoredPopup::AnchoredPopup(QWidget* parent)
    : QFrame(parent, Qt::Popup) {
    setFrameShape(QFrame::StyledPanel);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

QRect AnchoredPopup::placement(QRect anchor, QSize size, QRect available, Qt::Edge preferred) {
    // Edges as coordinates (QRect's right() and bottom() are one short).
    const int anchorRight = anchor.x() + anchor.width();
    const int anchorBottom = anchor.y() + anchor.height();
    const int centreX = anchor.x() + anchor.width() / 2 - size.width() / 2;
    const int centreY = anchor.y() + anchor.height() / 2 - size.height() / 2;
    QRect result(QPoint(0, 0), size);
    const auto below = [&] { result.moveTopLeft(QPoint(centreX, anchorBottom + gap)); };
    const auto above = [&] {
        result.moveTopLeft(QPoint(centreX, anchor.y() - gap - size.height()));
    };
    const auto right = [&] { result.moveTopLeft(QPoint(anchorRight + gap, centreY)); };
    const auto left = [&] { result.moveTopLeft(QPoint(anchor.x() - gap - size.width(), centreY)); };
    switch (preferred) {
    case Qt::TopEdge:
        above();
        if (result.top() < available.top()) {
            below();
        }
        break;
    case Qt::LeftEdge:
        left();
        if (result.left() < available.left()) {
            right();
        }
        break;
    case Qt::RightEdge:
        right();
        if (result.x() + size.width() > available.x() + available.width()) {
            left();
        }
        break;
    case Qt::BottomEdge:
        below();
        if (result.y() + size.height() > available.y() + available.height()) {
            above();
        }
        break;
    }
    // Whatever side was taken, nothing of the popup is left off the screen.
    result.moveLeft(std::clamp(result.left(), available.left(),
                               std::max(available.left(), available.right() - size.width() + 1)));
    result.moveTop(std::clamp(result.top(), available.top(),
                              std::max(available.top(), available.bottom() - size.height() + 1)));
    return result;
}

void AnchoredPopup::showAnchored(QWidget* anchorWidget, QRect anchor, Qt::Edge preferred) {
    const QRect global(anchorWidget->mapToGlobal(anchor.topLeft()), anchor.size());
    QScreen* screen = anchorWidget->screen() != nullptr ? anchorWidget->screen()
                                                        : QGuiApplication::primaryScreen();
    const QRect available = screen != nullptr ? screen->availableGeometry() : global;
    adjustSize();
    setGeometry(placement(global, sizeHint().expandedTo(minimumSize()), available, preferred));
    show();
    raise();
    activateWindow();
}

void AnchoredPopup::setPassesOutsideClicks(bool passes) {
    passesOutsideClicks_ = passes;
    // Qt's own replay of the press is left to the platform; this popup
    // passes it on itself, once.
    setAttribute(Qt::WA_NoMouseReplay, passes);
}

void AnchoredPopup::mousePressEvent(QMouseEvent* event) {
    QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const QPoint global = event->globalPosition().toPoint();
    if (!passesOutsideClicks_ || rect().contains(event->position().toPoint()) || owner == nullptr) {
        QFrame::mousePressEvent(event);
        return;
    }
    close();
    event->accept();
    // Posted to the owner's window as the window system would have sent it
    // there: the widget under the pointer takes the press, and the release
    // that follows, once the popup's grab of the pointer has gone.
    QWindow* window = owner->windowHandle();
    if (window == nullptr || !owner->isVisible() ||
        !owner->rect().contains(owner->mapFromGlobal(global))) {
        return;
    }
    const QPointF local = event->globalPosition() - QPointF(window->mapToGlobal(QPoint(0, 0)));
    QCoreApplication::postEvent(window, new QMouseEvent(QEvent::MouseButtonPress, local, local,
                                                        event->globalPosition(), event->button(),
                                                        event->buttons(), event->modifiers(),
                                                        event->pointingDevice()));
}

void AnchoredPopup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

void AnchoredPopup::showEvent(QShowEvent* event) {
    dismissPending_ = true;
    QFrame::showEvent(event);
}

void AnchoredPopup::discard() {
    onDismiss_ = {};
    hide();
    deleteLater();
}

void AnchoredPopup::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    if (!dismissPending_) {
        return;
    }
    dismissPending_ = false;
    // The owner may delete or reopen the popup from here: call a copy.
    if (const std::function<void()> onDismiss = onDismiss_) {
        onDismiss();
    }
}

} // namespace vexel
