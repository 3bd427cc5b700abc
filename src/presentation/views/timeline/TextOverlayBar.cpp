#include "presentation/views/timeline/TextOverlayBar.h"

#include "presentation/helpers/TimeFormatting.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/PlainText.h"
#include "presentation/views/kit/Theme.h"
#include "presentation/views/timeline/BarsInView.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace vexel {

namespace {

constexpr double cornerRadius = BarBody::cornerRadius;
constexpr int labelPadding = 4;

} // namespace

TextOverlayBar::TextOverlayBar(QWidget* parent)
    : QWidget(parent) {
    setFont(vexel::font(FontStyle::caption2));
}

void TextOverlayBar::setClip(const Clip& clip) {
    if (clip == clip_) {
        return;
    }
    if (clip.assetName != clip_.assetName) {
        elidedFor_ = -1;
        setToolTip(plainToolTip(QString::fromStdString(clip.assetName)));
    }
    if (clip.id != clip_.id) {
        // The bar shows another clip now: a press under way is dropped.
        pressGlobal_.reset();
        dragging_ = false;
        dragOffset_ = 0;
    }
    clip_ = clip;
    updateDescription();
    relayout();
    update();
}

void TextOverlayBar::setTimeAxis(double maxDuration, double totalWidth) {
    if (maxDuration == maxDuration_ && totalWidth == totalWidth_) {
        return;
    }
    maxDuration_ = maxDuration;
    totalWidth_ = totalWidth;
    relayout();
}

void TextOverlayBar::setSelected(bool selected) {
    if (selected != selected_) {
        selected_ = selected;
        update();
    }
}

void TextOverlayBar::setActions(std::shared_ptr<const TextOverlayActions> actions) {
    actions_ = std::move(actions);
}

double TextOverlayBar::displayOffset() const {
    return totalWidth_ * clip_.timeRange.startTime / span() + dragOffset_;
}

double TextOverlayBar::displayWidth() const {
    return std::max(totalWidth_ * clip_.timeRange.duration / span(), minimumWidth);
}

double TextOverlayBar::movedStart(double dx) const {
    const double delta = totalWidth_ > 0 ? dx / totalWidth_ * span() : 0;
    const double upper = std::max(span() - clip_.timeRange.duration, 0.0);
    return std::max(std::min(clip_.timeRange.startTime + delta, upper), 0.0);
}

void TextOverlayBar::relayout() {
    const QWidget* lane = parentWidget();
    const int height = lane != nullptr ? lane->height() : this->height();
    const BarsInView::Columns columns = BarsInView::columnsOf(displayOffset(), displayWidth());
    setGeometry(columns.left, 0, columns.width(), height);
}

void TextOverlayBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    body_->paint(painter, rect(), toQColor(VexelColors::trackText));
    const int textWidth = std::max(0, width() - 2 * labelPadding);
    if (elidedFor_ != textWidth) {
        elidedText_ = elidedPlain(fontMetrics(), QString::fromStdString(clip_.assetName),
                                  Qt::ElideMiddle, textWidth);
        elidedFor_ = textWidth;
    }
    painter.setPen(Qt::white);
    painter.drawText(QRect(labelPadding, 0, textWidth, height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elidedText_);
    if (selected_) {
        painter.setPen(QPen(toQColor(VexelColors::selection), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(bounds.adjusted(1, 1, -1, -1), cornerRadius - 1, cornerRadius - 1);
    }
}

void TextOverlayBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressGlobal_ = event->globalPosition();
    dragging_ = false;
    movable_ = selected_;
    event->accept();
}

void TextOverlayBar::mouseMoveEvent(QMouseEvent* event) {
    if (!pressGlobal_) {
        return;
    }
    const QPointF translation = event->globalPosition() - *pressGlobal_;
    if (!dragging_ && std::hypot(translation.x(), translation.y()) < dragThreshold) {
        return;
    }
    dragging_ = true;
    if (!movable_) {
        if (!selected_ && actions_ && actions_->onSelectClip) {
            actions_->onSelectClip(clip_.id);
        }
        return;
    }
    dragOffset_ = translation.x();
    relayout();
}

void TextOverlayBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressGlobal_) {
        event->ignore();
        return;
    }
    const double dx = event->globalPosition().x() - pressGlobal_->x();
    const bool wasDrag = dragging_;
    pressGlobal_.reset();
    dragging_ = false;
    const std::shared_ptr<const TextOverlayActions> actions = actions_;
    const Uuid id = clip_.id;
    if (!wasDrag) {
        if (actions && actions->onSelectClip) {
            actions->onSelectClip(id);
        }
        return;
    }
    const bool moved = movable_ && dragOffset_ != 0;
    const double start = movedStart(dx);
    dragOffset_ = 0;
    relayout();
    if (moved && actions && actions->onMoveOverlay) {
        actions->onMoveOverlay(id, start);
    }
}

void TextOverlayBar::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = makeContextMenu(clip_, actions_, this).release();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

bool TextOverlayBar::hasEditableAnimation(const Clip& clip) {
    return clip.trackType == TrackType::text && clip.textAnimation &&
           (clip.textAnimation->entrance || clip.textAnimation->exit || clip.textAnimation->loop);
}

std::unique_ptr<QMenu>
TextOverlayBar::makeContextMenu(const Clip& clip, std::shared_ptr<const TextOverlayActions> actions,
                                QWidget* parent) {
    auto menu = std::make_unique<QMenu>(parent);
    const Uuid id = clip.id;
    using Callback = std::function<void(const Uuid&)> TextOverlayActions::*;
    const auto add = [&](const QString& title, Callback callback) {
        menu->addAction(title, menu.get(), [actions, id, callback] {
            if (!actions) {
                return;
            }
            if (actions->onSelectClip) {
                actions->onSelectClip(id);
            }
            if (const auto& then = (*actions).*callback) {
                then(id);
            }
        });
    };
    add(QStringLiteral("Edit..."), &TextOverlayActions::onEditOverlay);
    if (hasEditableAnimation(clip)) {
        add(QStringLiteral("Edit Animation..."), &TextOverlayActions::onEditTextEffects);
    }
    add(QStringLiteral("Duplicate"), &TextOverlayActions::onDuplicateOverlay);
    menu->addSeparator();
    add(QStringLiteral("Delete"), &TextOverlayActions::onDeleteOverlay);
    menu->addSeparator();
    menu->addAction(QStringLiteral("More Commands... (Ctrl+K)"), menu.get(), [actions, id] {
        if (!actions) {
            return;
        }
        if (actions->onSelectClip) {
            actions->onSelectClip(id);
        }
        if (actions->onOpenCommandPalette) {
            actions->onOpenCommandPalette();
        }
    });
    return menu;
}

void TextOverlayBar::updateDescription() {
    setAccessibleName(QString::fromStdString(clip_.assetName) + QStringLiteral(", text overlay"));
    setAccessibleDescription(
        QStringLiteral("starts at ") +
        QString::fromStdString(TimeFormatting::standard(clip_.timeRange.startTime)) +
        QStringLiteral(", duration ") +
        QString::fromStdString(TimeFormatting::standard(clip_.timeRange.duration)) +
        QStringLiteral(". Drag to reposition"));
}

} // namespace vexel
