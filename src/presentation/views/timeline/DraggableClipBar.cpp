#include "presentation/views/timeline/DraggableClipBar.h"

#include "presentation/helpers/ClipBarRules.h"
#include "presentation/helpers/SnapEngine.h"
#include "presentation/helpers/TimeFormatting.h"
#include "presentation/helpers/WaveformShape.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/viewmodels/WaveformLoader.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/kit/PlainText.h"
#include "presentation/views/kit/Theme.h"
#include "presentation/views/timeline/BarsInView.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <utility>

namespace vexel {

namespace {

constexpr double cornerRadius = BarBody::cornerRadius;
constexpr int labelPadding = 4;
constexpr int badgeSize = 8;
constexpr int badgeSpacing = 2;

bool showsSound(const Clip& clip) {
    return (clip.trackType == TrackType::video || clip.trackType == TrackType::audio) &&
           clip.assetURL.has_value();
}

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

DraggableClipBar::DraggableClipBar(const IconRegistry* icons, WaveformLoader* waveforms,
                                   QWidget* parent)
    : QWidget(parent)
    , icons_(icons)
    , waveforms_(waveforms)
    , clipColor_(toQColor(VexelColors::trackVideo)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setFont(vexel::font(FontStyle::caption2));
    if (waveforms_ != nullptr) {
        connect(waveforms_, &WaveformLoader::loaded, this,
                [this](const std::filesystem::path& file,
                       const std::shared_ptr<const WaveformSamples>& samples) {
                    if (showsSound(clip_) && *clip_.assetURL == file) {
                        waveform_ = samples;
                        update();
                    }
                });
    }
}

void DraggableClipBar::setClip(const Clip& clip) {
    if (clip == clip_) {
        return;
    }
    const bool otherClip = clip.id != clip_.id;
    const bool soundChanged =
        clip.assetURL != clip_.assetURL || clip.trackType != clip_.trackType || clip_.id.isNil();
    const bool nameChanged = clip.assetName != clip_.assetName;
    clip_ = clip;
    if (otherClip) {
        dropPress();
    }
    if (nameChanged) {
        elidedFor_ = -1;
        setToolTip(plainToolTip(qText(clip_.assetName)));
    }
    updateDescription();
    if (soundChanged) {
        waveform_.reset();
        requestWaveform();
    }
    relayout();
    update();
}

void DraggableClipBar::setTimeAxis(double maxDuration, double totalWidth) {
    if (maxDuration == maxDuration_ && totalWidth == totalWidth_) {
        return;
    }
    maxDuration_ = maxDuration;
    totalWidth_ = totalWidth;
    relayout();
}

void DraggableClipBar::setClipColor(const QColor& color) {
    if (color != clipColor_) {
        clipColor_ = color;
        update();
    }
}

void DraggableClipBar::setSelected(bool selected) {
    if (selected == selected_) {
        return;
    }
    selected_ = selected;
    if (!selected_) {
        unsetCursor();
    }
    updateDescription();
    update();
}

void DraggableClipBar::setActions(std::shared_ptr<const ClipBarActions> actions) {
    actions_ = std::move(actions);
}

void DraggableClipBar::setTrackClips(std::shared_ptr<const std::vector<Clip>> clips) {
    if (clips == trackClips_) {
        return;
    }
    trackClips_ = std::move(clips);
    // A project that changed under the drag gives it new edges.
    dragSnapPoints_.reset();
}

void DraggableClipBar::setCrossTrack(CrossTrackConfig crossTrack) {
    if (crossTrack == crossTrack_) {
        return;
    }
    crossTrack_ = std::move(crossTrack);
}

ClipBarFrame DraggableClipBar::frame() const {
    return {clip_.timeRange.startTime, clip_.timeRange.duration, maxDuration_, totalWidth_};
}

std::vector<double> DraggableClipBar::snapPoints() const {
    return trackClips_ ? SnapEngine::snapPoints(*trackClips_, clip_.id) : std::vector<double>{};
}

std::optional<double> DraggableClipBar::nextClipStart() const {
    return trackClips_ ? ClipBarRules::nextClipStart(*trackClips_, clip_.id) : std::nullopt;
}

double DraggableClipBar::displayOffset() const {
    const double base = frame().baseOffset();
    if (activeTrimEdge_ == ClipEdge::left) {
        return base - trimWidthDelta_ + dragOffset_;
    }
    return base + dragOffset_;
}

double DraggableClipBar::displayWidth() const {
    const double width = frame().drawnWidth();
    if (!activeTrimEdge_) {
        return width;
    }
    return std::max(width + trimWidthDelta_, ClipBarFrame::minimumWidth);
}

void DraggableClipBar::relayout() {
    const QWidget* row = parentWidget();
    const int height = row != nullptr ? row->height() : this->height();
    const BarsInView::Columns columns = BarsInView::columnsOf(displayOffset(), displayWidth());
    setGeometry(columns.left, 0, columns.width(), height);
}

void DraggableClipBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    body_->paint(painter, rect(), clipColor_);

    if (waveform_ && !waveform_->values().empty()) {
        painter.save();
        QPainterPath shape;
        shape.addRoundedRect(bounds, cornerRadius, cornerRadius);
        painter.setClipPath(shape);
        painter.translate(0, 2);
        const QColor level(255, 255, 255, 64);
        for (const WaveformShape::Bar& bar :
             WaveformShape::bars(waveform_->values(), bounds.width(), bounds.height() - 4)) {
            painter.fillRect(QRectF(bar.x, bar.y, bar.width, bar.height), level);
        }
        painter.restore();
    }

    const bool badge = clip_.hasVisualEffect() && icons_ != nullptr;
    const int textWidth =
        std::max(0, width() - 2 * labelPadding - (badge ? badgeSize + badgeSpacing : 0));
    if (elidedFor_ != textWidth) {
        elidedName_ =
            elidedPlain(fontMetrics(), qText(clip_.assetName), Qt::ElideMiddle, textWidth);
        elidedFor_ = textWidth;
    }
    painter.setPen(Qt::white);
    const QRect textRect(labelPadding, 0, textWidth, height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elidedName_);
    if (badge) {
        const int drawn = fontMetrics().horizontalAdvance(elidedName_);
        // Drawn from its SVG once, not on every repaint of a long timeline.
        if (badge_.isNull() || badge_.devicePixelRatio() != devicePixelRatioF()) {
            QColor tint(Qt::white);
            tint.setAlphaF(0.8f);
            badge_ = icons_->pixmap("camera.filters", QSize(badgeSize, badgeSize), tint,
                                    devicePixelRatioF());
        }
        const int x = labelPadding + std::min(drawn, textWidth) + badgeSpacing;
        painter.drawPixmap(QPoint(x, (height() - badgeSize) / 2), badge_);
    }

    if (selected_) {
        painter.setPen(QPen(toQColor(VexelColors::selection), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(bounds.adjusted(1, 1, -1, -1), cornerRadius - 1, cornerRadius - 1);
    }
    if (activeSnapPoint_) {
        const double snapX = frame().xOf(*activeSnapPoint_);
        const double fromLeadingEdge = snapX - displayOffset();
        if (fromLeadingEdge >= -1 && fromLeadingEdge <= displayWidth() + 1) {
            // Kept wholly inside the widget, which cuts off what lies outside
            // it: a guide on the bar's own edge is drawn along that edge.
            const double guide =
                std::clamp(snapX - static_cast<double>(x()), 1.0, bounds.width() - 1);
            painter.fillRect(QRectF(guide - 1, 0, 2, bounds.height()),
                             toQColor(VexelColors::snapGuide));
        }
    }
}

void DraggableClipBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    pressInRow_ = event->position() + QPointF(pos());
    pressGlobal_ = event->globalPosition();
    dragging_ = false;
    event->accept();
}

void DraggableClipBar::mouseMoveEvent(QMouseEvent* event) {
    if (!pressInRow_) {
        updateHoverCursor(event->position().x() + x() - frame().baseOffset());
        return;
    }
    const QPointF translation = event->globalPosition() - pressGlobal_;
    if (!dragging_ && std::hypot(translation.x(), translation.y()) < dragThreshold) {
        return;
    }
    dragging_ = true;
    dragChanged(translation);
}

void DraggableClipBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressInRow_) {
        event->ignore();
        return;
    }
    const QPointF translation = event->globalPosition() - pressGlobal_;
    const bool wasDrag = dragging_;
    pressInRow_.reset();
    dragging_ = false;
    if (wasDrag) {
        dragEnded(translation);
    } else {
        resetGesture();
        if (actions() != nullptr && actions()->onSelect) {
            actions()->onSelect(clip_.id);
        }
    }
}

void DraggableClipBar::dragChanged(QPointF translation) {
    const ClipBarActions* callbacks = actions();
    if (!selected_) {
        // The first drag on an unselected bar only selects it; it moves once
        // the bar is shown selected.
        if (callbacks != nullptr && callbacks->onSelect) {
            callbacks->onSelect(clip_.id);
        }
        return;
    }
    const ClipBarFrame bar = frame();
    if (!activeTrimEdge_) {
        // Decided by where the press was, so the same for the whole drag.
        activeTrimEdge_ =
            TimelineBarMetrics::detectEdge(pressInRow_->x() - bar.baseOffset(), bar.drawnWidth(),
                                           TimelineBarMetrics::edgeThreshold);
    }
    if (activeTrimEdge_) {
        trimWidthDelta_ =
            ClipBarRules::trimWidthDelta(bar, *activeTrimEdge_, translation.x(), nextClipStart());
        activeSnapPoint_.reset();
        if (callbacks != nullptr && callbacks->onTrimScrub) {
            callbacks->onTrimScrub(
                ClipBarRules::trimScrubTime(bar, *activeTrimEdge_, translation.x()));
        }
    } else {
        if (!dragSnapPoints_) {
            dragSnapPoints_ = snapPoints();
        }
        movedWhileSelected_ = true;
        const ClipBarRules::MoveSnapResult move =
            ClipBarRules::handleMoveWithSnap(bar, *dragSnapPoints_, translation.x());
        dragOffset_ = move.offset;
        activeSnapPoint_ = move.snapPoint;
    }
    relayout();
    update();
}

void DraggableClipBar::dragEnded(QPointF translation) {
    // Everything the report needs is taken before the gesture is cleared,
    // and the callback comes last: it may change what this bar shows.
    const ClipBarFrame bar = frame();
    const std::optional<Uuid> target =
        movedWhileSelected_
            ? ClipBarRules::resolveTargetAudioTrack(crossTrack_.audioTrackLanes,
                                                    crossTrack_.currentTrackId,
                                                    crossTrack_.laneHeight, translation.y())
            : std::nullopt;
    if (dragOffset_ == 0 && !activeTrimEdge_ && !target) {
        // Only selected, or back where it began on its own lane. A drag
        // straight down to another lane is still a move.
        resetGesture();
        return;
    }
    const Uuid id = clip_.id;
    const std::shared_ptr<const ClipBarActions> callbacks = actions_;
    if (activeTrimEdge_) {
        const ClipEdge edge = *activeTrimEdge_;
        const ClipBarRules::TrimResult trim = ClipBarRules::commitTrim(
            bar, {clip_.sourceOffset, clip_.rate}, edge, translation.x(), nextClipStart());
        resetGesture();
        if (callbacks && callbacks->onTrim) {
            callbacks->onTrim(id, trim.sourceOffset, trim.duration);
        }
        return;
    }
    const std::vector<double> points = dragSnapPoints_ ? *dragSnapPoints_ : snapPoints();
    const double start = ClipBarRules::releasedMoveStart(bar, points, translation.x());
    resetGesture();
    if (!callbacks) {
        return;
    }
    if (target) {
        if (callbacks->onMoveToTrack) {
            callbacks->onMoveToTrack(id, *target, start);
        }
    } else if (callbacks->onMove) {
        callbacks->onMove(id, start);
    }
}

void DraggableClipBar::dropPress() {
    pressInRow_.reset();
    dragging_ = false;
    unsetCursor();
    resetGesture();
}

void DraggableClipBar::resetGesture() {
    dragOffset_ = 0;
    trimWidthDelta_ = 0;
    activeTrimEdge_.reset();
    activeSnapPoint_.reset();
    dragSnapPoints_.reset();
    movedWhileSelected_ = false;
    relayout();
    update();
}

void DraggableClipBar::updateHoverCursor(double localX) {
    if (!selected_) {
        unsetCursor();
        return;
    }
    if (TimelineBarMetrics::detectEdge(localX, frame().drawnWidth(),
                                       TimelineBarMetrics::edgeThreshold)) {
        setCursor(Qt::SizeHorCursor);
    } else {
        unsetCursor();
    }
}

void DraggableClipBar::leaveEvent(QEvent* event) {
    unsetCursor();
    QWidget::leaveEvent(event);
}

void DraggableClipBar::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = makeContextMenu(clip_, actions_, this).release();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

std::unique_ptr<QMenu>
DraggableClipBar::makeContextMenu(const Clip& clip, std::shared_ptr<const ClipBarActions> actions,
                                  QWidget* parent) {
    auto menu = std::make_unique<QMenu>(parent);
    const Uuid id = clip.id;
    // Each item selects the clip first; an item without its callback only
    // selects.
    const auto add = [&](const QString& title, std::function<void(const ClipBarActions&)> then) {
        menu->addAction(title, menu.get(), [actions, id, then = std::move(then)] {
            if (!actions) {
                return;
            }
            if (actions->onSelect) {
                actions->onSelect(id);
            }
            then(*actions);
        });
    };
    add(QStringLiteral("Duplicate"), [id](const ClipBarActions& a) {
        if (a.onDuplicate) {
            a.onDuplicate(id);
        }
    });
    add(QStringLiteral("Split at Playhead"), [id](const ClipBarActions& a) {
        if (a.onSplit) {
            a.onSplit(id);
        }
    });
    if (clip.hasEditableEffects()) {
        add(QStringLiteral("Edit Effects..."), [id](const ClipBarActions& a) {
            if (a.onEditEffects) {
                a.onEditEffects(id);
            }
        });
    }
    menu->addSeparator();
    add(QStringLiteral("Delete"), [id](const ClipBarActions& a) {
        if (a.onDelete) {
            a.onDelete(id);
        }
    });
    menu->addSeparator();
    add(QStringLiteral("More Commands... (Ctrl+K)"), [](const ClipBarActions& a) {
        if (a.onOpenCommandPalette) {
            a.onOpenCommandPalette();
        }
    });
    return menu;
}

void DraggableClipBar::requestWaveform() {
    if (waveforms_ == nullptr || !showsSound(clip_)) {
        return;
    }
    if (std::shared_ptr<const WaveformSamples> samples = waveforms_->request(*clip_.assetURL)) {
        waveform_ = std::move(samples);
        update();
    }
}

void DraggableClipBar::updateDescription() {
    const QString kind = qText(std::string(baseWord(clip_.trackType)));
    setAccessibleName(qText(clip_.assetName) + QStringLiteral(", ") + kind +
                      QStringLiteral(" clip"));
    setAccessibleDescription(
        QStringLiteral("starts at ") + qText(TimeFormatting::standard(clip_.timeRange.startTime)) +
        QStringLiteral(", duration ") + qText(TimeFormatting::standard(clip_.timeRange.duration)) +
        QStringLiteral(". Drag to move, drag edges to trim"));
}

} // namespace vexel
