#include "presentation/views/timeline/LaneSlivers.h"

#include "presentation/views/kit/PlainText.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

#include <utility>

namespace vexel {

LaneSlivers::LaneSlivers(std::function<QWidget*(int x)> barAt, std::function<QString(int x)> nameAt,
                         QWidget& lane)
    : QWidget(&lane)
    , barAt_(std::move(barAt))
    , nameAt_(std::move(nameAt)) {
    hide();
}

void LaneSlivers::setColour(const QColor& colour) {
    if (colour != colour_) {
        colour_ = colour;
        update();
    }
}

void LaneSlivers::setSlivers(std::vector<BarsInView::Sliver> slivers) {
    if (slivers == slivers_ && shapeHeight_ == height()) {
        return;
    }
    slivers_ = std::move(slivers);
    shapeHeight_ = height();
    QRegion shape;
    std::vector<const BarsInView::Sliver*> byClip;
    for (const BarsInView::Sliver& sliver : slivers_) {
        shape += QRect(sliver.shown.left, 0, sliver.shown.width(), height());
        byClip.push_back(&sliver);
    }
    std::sort(byClip.begin(), byClip.end(),
              [](const auto* a, const auto* b) { return a->clip < b->clip; });
    drawn_.clear();
    for (std::size_t i = 0; i < byClip.size(); ++i) {
        if (i == 0 || byClip[i]->clip != byClip[i - 1]->clip) {
            drawn_.push_back(byClip[i]->drawn);
        }
    }
    // The pointer reaches what lies below everywhere else.
    setMask(shape);
    setVisible(!slivers_.empty());
    update();
}

bool LaneSlivers::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString name = nameAt_ ? nameAt_(help->pos().x()) : QString();
        if (name.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), plainToolTip(name), this);
        }
        return true;
    }
    return QWidget::event(event);
}

void LaneSlivers::paintEvent(QPaintEvent* event) {
    // Whole bars, later over earlier, as the widgets would draw them: the
    // layer's shape keeps to the columns where a sliver is on top.
    QPainter painter(this);
    const QRect dirty = event->rect();
    for (const BarsInView::Columns& drawn : drawn_) {
        if (drawn.right <= dirty.left() || drawn.left > dirty.right()) {
            continue;
        }
        body_->paint(painter, QRect(drawn.left, 0, drawn.width(), height()), colour_);
    }
}

void LaneSlivers::mousePressEvent(QMouseEvent* event) {
    gesture_ = barAt_ ? barAt_(static_cast<int>(event->position().x())) : nullptr;
    if (!gesture_) {
        event->ignore();
        return;
    }
    forward(*event);
}

void LaneSlivers::mouseMoveEvent(QMouseEvent* event) {
    if (!gesture_) {
        event->ignore();
        return;
    }
    forward(*event);
}

void LaneSlivers::mouseReleaseEvent(QMouseEvent* event) {
    if (!gesture_) {
        event->ignore();
        return;
    }
    forward(*event);
    gesture_ = nullptr;
}

void LaneSlivers::contextMenuEvent(QContextMenuEvent* event) {
    QWidget* bar = barAt_ ? barAt_(event->pos().x()) : nullptr;
    if (bar == nullptr) {
        event->ignore();
        return;
    }
    QContextMenuEvent forwarded(event->reason(), bar->mapFromGlobal(event->globalPos()),
                                event->globalPos(), event->modifiers());
    QApplication::sendEvent(bar, &forwarded);
    event->setAccepted(forwarded.isAccepted());
}

void LaneSlivers::forward(QMouseEvent& event) {
    // The press made the bar: it takes the gesture from here as if it had
    // been pressed itself, the pointer's travel measured on the screen.
    const QPointF global = event.globalPosition();
    QMouseEvent forwarded(event.type(), gesture_->mapFromGlobal(global), global, event.button(),
                          event.buttons(), event.modifiers(), event.pointingDevice());
    QApplication::sendEvent(gesture_, &forwarded);
    event.setAccepted(forwarded.isAccepted());
}

} // namespace vexel
