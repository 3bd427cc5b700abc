#include "presentation/views/kit/AnchoredPopup.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

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
    // passes the click on itself, once.
    setAttribute(Qt::WA_NoMouseReplay, passes);
}

namespace {

// `event` as the window system would have delivered it to `target` with no
// popup open; an event the target ignores goes on to its parents.
void passOn(QWidget& target, const QMouseEvent& event) {
    const QPointF local = target.mapFromGlobal(event.globalPosition());
    const QPointF inWindow = target.window()->mapFromGlobal(event.globalPosition());
    QMouseEvent passed(event.type(), local, inWindow, event.globalPosition(), event.button(),
                       event.buttons(), event.modifiers(), event.pointingDevice());
    passed.setTimestamp(event.timestamp());
    QCoreApplication::sendEvent(&target, &passed);
}

} // namespace

void AnchoredPopup::mousePressEvent(QMouseEvent* event) {
    QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (!passesOutsideClicks_ || event->button() != Qt::LeftButton || owner == nullptr ||
        rect().contains(event->position().toPoint())) {
        QFrame::mousePressEvent(event);
        return;
    }
    event->accept();
    const QPoint inOwner = owner->mapFromGlobal(event->globalPosition().toPoint());
    if (!owner->isVisible() || !owner->rect().contains(inOwner)) {
        close();
        return;
    }
    QWidget* under = owner->childAt(inOwner);
    QWidget* target = under != nullptr ? under : owner;
    // The popup stays open, holding the pointer, until the release: while it
    // holds the pointer the window system sends it the whole click, whereas
    // once it has closed (its window gone) the rest of a quick click, already
    // on its way to it, would be lost, and the click never end.
    passingClick_ = true;
    clickTarget_ = target;
    passOn(*target, *event);
}

void AnchoredPopup::mouseMoveEvent(QMouseEvent* event) {
    if (!passingClick_) {
        QFrame::mouseMoveEvent(event);
        return;
    }
    event->accept();
    if (clickTarget_) {
        passOn(*clickTarget_, *event);
    }
}

void AnchoredPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (!passingClick_) {
        QFrame::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    const QPointer<QWidget> target = clickTarget_;
    passingClick_ = false;
    clickTarget_.clear();
    // Closed first, so that the release acts as with no popup open (a click
    // on a text opens its own inspector). The owner may discard the popup
    // from its dismiss path: nothing of it is touched after this.
    close();
    if (target) {
        passOn(*target, *event);
    }
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
    // Closed in the middle of a click passed on: the rest of it no longer
    // comes here.
    passingClick_ = false;
    clickTarget_.clear();
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
