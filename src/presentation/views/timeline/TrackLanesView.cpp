#include "presentation/views/timeline/TrackLanesView.h"

#include "presentation/views/timeline/TextOverlayRow.h"
#include "presentation/views/timeline/TimelineEmptyState.h"
#include "presentation/views/timeline/TimelinePlayhead.h"
#include "presentation/views/timeline/TrackRow.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace vexel {

namespace {

int whole(double pixels) {
    return static_cast<int>(std::lround(std::clamp(pixels, -1e9, 1e9)));
}

} // namespace

TrackLanesView::TrackLanesView(const IconRegistry& icons, WaveformLoader* waveforms,
                               QWidget* parent)
    : QWidget(parent)
    , icons_(icons)
    , waveforms_(waveforms)
    , emptyState_(new TimelineEmptyState(icons, this))
    , playhead_(new TimelinePlayhead(this)) {
    emptyState_->lower();
    playhead_->hide();
}

void TrackLanesView::setLanes(const std::vector<Track>& lanes) {
    laneTypes_.clear();
    audioLaneIds_.clear();
    for (const Track& lane : lanes) {
        laneTypes_.emplace_back(lane.id, lane.type);
        if (lane.type == TrackType::audio) {
            audioLaneIds_.push_back(lane.id);
        }
    }
    std::unordered_map<Uuid, QWidget*> kept;
    std::vector<Uuid> order;
    bool anyClip = false;
    for (const Track& lane : lanes) {
        anyClip = anyClip || !lane.clips.empty();
        QWidget* row = nullptr;
        if (const auto found = rows_.find(lane.id); found != rows_.end()) {
            const bool isText = dynamic_cast<TextOverlayRow*>(found->second) != nullptr;
            if (isText == (lane.type == TrackType::text)) {
                row = found->second;
                rows_.erase(found);
            }
        }
        if (row == nullptr && kept.contains(lane.id)) {
            continue;
        }
        if (row == nullptr) {
            if (lane.type == TrackType::text) {
                auto* text = new TextOverlayRow(this);
                text->setActions(textActions_);
                row = text;
            } else {
                row = new TrackRow(&icons_, waveforms_, this);
            }
            setLayoutHeld(*row, layoutHolds_ > 0);
            row->show();
        }
        if (auto* text = dynamic_cast<TextOverlayRow*>(row)) {
            text->setMaxDuration(maxDuration_);
            text->setSelectedClipId(selectedClipId_);
            text->setTextClips(lane.clips);
        } else {
            auto* clips = static_cast<TrackRow*>(row);
            clips->setActions(lane.type == TrackType::audio ? audioActions_ : otherActions_);
            clips->setAudioTrackLanes(lane.type == TrackType::audio ? audioLaneIds_
                                                                    : std::vector<Uuid>{});
            clips->setMaxDuration(maxDuration_);
            clips->setLaneHeight(laneHeight_);
            clips->setSelectedClipId(selectedClipId_);
            clips->setTrack(lane);
        }
        kept.emplace(lane.id, row);
        order.push_back(lane.id);
    }
    for (auto& [id, row] : rows_) {
        row->hide();
        row->deleteLater();
    }
    rows_ = std::move(kept);
    order_ = std::move(order);
    emptyState_->setVisible(!anyClip);
    playhead_->raise();
    relayoutRows();
    update();
}

void TrackLanesView::setMaxDuration(double seconds) {
    if (seconds == maxDuration_) {
        return;
    }
    maxDuration_ = seconds;
    for (auto& [id, row] : rows_) {
        if (auto* text = dynamic_cast<TextOverlayRow*>(row)) {
            text->setMaxDuration(seconds);
        } else {
            static_cast<TrackRow*>(row)->setMaxDuration(seconds);
        }
    }
    setCurrentTime(currentTime_);
}

void TrackLanesView::setLaneHeight(double laneHeight) {
    if (laneHeight == laneHeight_) {
        return;
    }
    laneHeight_ = laneHeight;
    for (auto& [id, row] : rows_) {
        if (auto* clips = dynamic_cast<TrackRow*>(row)) {
            clips->setLaneHeight(laneHeight);
        }
    }
    relayoutRows();
    update();
}

void TrackLanesView::setSelectedClipId(const std::optional<Uuid>& clipId) {
    selectedClipId_ = clipId;
    for (auto& [id, row] : rows_) {
        if (auto* text = dynamic_cast<TextOverlayRow*>(row)) {
            text->setSelectedClipId(clipId);
        } else {
            static_cast<TrackRow*>(row)->setSelectedClipId(clipId);
        }
    }
}

void TrackLanesView::setClipActions(std::shared_ptr<const ClipBarActions> audio,
                                    std::shared_ptr<const ClipBarActions> other) {
    audioActions_ = std::move(audio);
    otherActions_ = std::move(other);
    for (const auto& [id, type] : laneTypes_) {
        if (TrackRow* row = trackRow(id)) {
            row->setActions(type == TrackType::audio ? audioActions_ : otherActions_);
        }
    }
}

void TrackLanesView::setTextActions(std::shared_ptr<const TextOverlayActions> actions) {
    textActions_ = std::move(actions);
    if (TextOverlayRow* row = textRow()) {
        row->setActions(textActions_);
    }
}

TrackLanesView::LayoutHold::LayoutHold(TrackLanesView& lanes)
    : lanes_(lanes) {
    if (lanes_.layoutHolds_++ == 0) {
        for (const auto& [id, row] : lanes_.rows_) {
            lanes_.setLayoutHeld(*row, true);
        }
    }
}

TrackLanesView::LayoutHold::~LayoutHold() {
    if (--lanes_.layoutHolds_ == 0) {
        for (const auto& [id, row] : lanes_.rows_) {
            lanes_.setLayoutHeld(*row, false);
        }
    }
}

void TrackLanesView::setLayoutHeld(QWidget& row, bool held) const {
    if (auto* text = dynamic_cast<TextOverlayRow*>(&row)) {
        text->setLayoutHeld(held);
    } else {
        static_cast<TrackRow&>(row).setLayoutHeld(held);
    }
}

void TrackLanesView::setSight(std::optional<QRect> sight) {
    if (sight == sight_) {
        return;
    }
    sight_ = sight;
    updateSight();
}

void TrackLanesView::updateSight() {
    for (const Uuid& id : order_) {
        QWidget* row = rows_.at(id);
        std::optional<BarsInView::Columns> columns;
        if (sight_) {
            // A row out of sight above or below holds no bars.
            const QRect seen = sight_->intersected(row->geometry());
            columns = seen.isEmpty() ? BarsInView::Columns{}
                                     : BarsInView::Columns{seen.left(), seen.right() + 1};
        }
        if (auto* text = dynamic_cast<TextOverlayRow*>(row)) {
            text->setSight(columns);
        } else {
            static_cast<TrackRow*>(row)->setSight(columns);
        }
    }
}

void TrackLanesView::setCurrentTime(std::optional<double> seconds) {
    currentTime_ = seconds;
    playhead_->setVisible(seconds.has_value());
    if (seconds) {
        playhead_->setPosition(*seconds, maxDuration_, width());
    }
}

std::vector<QWidget*> TrackLanesView::rows() const {
    std::vector<QWidget*> result;
    for (const Uuid& id : order_) {
        result.push_back(rows_.at(id));
    }
    return result;
}

TrackRow* TrackLanesView::trackRow(const Uuid& laneId) const {
    const auto found = rows_.find(laneId);
    return found != rows_.end() ? dynamic_cast<TrackRow*>(found->second) : nullptr;
}

TextOverlayRow* TrackLanesView::textRow() const {
    for (const auto& [id, row] : rows_) {
        if (auto* text = dynamic_cast<TextOverlayRow*>(row)) {
            return text;
        }
    }
    return nullptr;
}

double TrackLanesView::laneTop(std::size_t index) const {
    return static_cast<double>(index) * (laneHeight_ + 1);
}

void TrackLanesView::relayoutRows() {
    for (std::size_t i = 0; i < order_.size(); ++i) {
        // Both edges rounded, so that the gaps stay one pixel however the
        // lane height falls.
        const int top = whole(laneTop(i));
        const int bottom = whole(laneTop(i) + laneHeight_);
        rows_.at(order_[i])->setGeometry(0, top, width(), std::max(bottom - top, 1));
    }
    emptyState_->setGeometry(rect());
    updateSight();
    setCurrentTime(currentTime_);
}

void TrackLanesView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor divider(255, 255, 255, 25);
    for (std::size_t i = 1; i < order_.size(); ++i) {
        painter.fillRect(QRect(0, whole(laneTop(i)) - 1, width(), 1), divider);
    }
}

void TrackLanesView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayoutRows();
}

void TrackLanesView::mousePressEvent(QMouseEvent* event) {
    seekGesture_.press(*event, width(), maxDuration_);
}

void TrackLanesView::mouseMoveEvent(QMouseEvent* event) {
    seekGesture_.move(*event, width(), maxDuration_);
}

void TrackLanesView::mouseReleaseEvent(QMouseEvent* event) {
    seekGesture_.release(*event);
}

} // namespace vexel
