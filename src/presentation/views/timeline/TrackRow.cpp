#include "presentation/views/timeline/TrackRow.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/Theme.h"
#include "presentation/views/timeline/DraggableClipBar.h"

#include <QPainter>
#include <QPainterPath>

#include <utility>

namespace vexel {

namespace {

QColor clipColor(TrackType type) {
    switch (type) {
    case TrackType::video:
        return toQColor(VexelColors::trackVideo);
    case TrackType::audio:
        return toQColor(VexelColors::trackAudio);
    case TrackType::image:
        return toQColor(VexelColors::trackImage);
    case TrackType::text:
        return toQColor(VexelColors::trackText);
    }
    return toQColor(VexelColors::trackVideo);
}

} // namespace

TrackRow::TrackRow(const IconRegistry* icons, WaveformLoader* waveforms, QWidget* parent)
    : QWidget(parent)
    , icons_(icons)
    , waveforms_(waveforms)
    , clips_(std::make_shared<const std::vector<Clip>>()) {
    updateAccessibleName();
}

void TrackRow::setTrack(const Track& track) {
    if (track == track_ && !order_.empty()) {
        return;
    }
    const bool placeChanged = track.id != track_.id || track.type != track_.type;
    track_ = track;
    clips_ = std::make_shared<const std::vector<Clip>>(track_.clips);

    std::unordered_map<Uuid, DraggableClipBar*> kept;
    std::vector<Uuid> order;
    order.reserve(track_.clips.size());
    for (const Clip& clip : track_.clips) {
        DraggableClipBar* bar = nullptr;
        if (const auto found = bars_.find(clip.id); found != bars_.end()) {
            bar = found->second;
            bars_.erase(found);
        } else if (kept.contains(clip.id)) {
            // A clip id twice in a track: the first clip keeps the bar.
            continue;
        } else {
            bar = new DraggableClipBar(icons_, waveforms_, this);
            bar->setActions(actions_);
            bar->setSelected(selectedClipId_ == clip.id);
            bar->setTimeAxis(maxDuration_, width());
            bar->show();
        }
        bar->setTrackClips(clips_);
        bar->setClip(clip);
        kept.emplace(clip.id, bar);
        order.push_back(clip.id);
    }
    // Bars of clips that left the track go once their events are handled: one
    // of them may be in the middle of reporting a gesture.
    for (auto& [id, bar] : bars_) {
        bar->hide();
        bar->deleteLater();
    }
    bars_ = std::move(kept);
    if (order != order_) {
        // Later clips lie over earlier ones.
        for (const Uuid& id : order) {
            bars_.at(id)->raise();
        }
        order_ = std::move(order);
    }
    const QColor color = clipColor(track_.type);
    for (auto& [id, bar] : bars_) {
        bar->setClipColor(color);
    }
    if (placeChanged) {
        updateCrossTrack();
    } else {
        for (auto& [id, bar] : bars_) {
            if (bar->crossTrack().currentTrackId != track_.id) {
                updateCrossTrack();
                break;
            }
        }
    }
    updateAccessibleName();
}

void TrackRow::setMaxDuration(double maxDuration) {
    if (maxDuration == maxDuration_) {
        return;
    }
    maxDuration_ = maxDuration;
    for (auto& [id, bar] : bars_) {
        bar->setTimeAxis(maxDuration_, width());
    }
}

void TrackRow::setLaneHeight(double laneHeight) {
    if (laneHeight == laneHeight_) {
        return;
    }
    laneHeight_ = laneHeight;
    updateCrossTrack();
}

void TrackRow::setSelectedClipId(const std::optional<Uuid>& clipId) {
    if (clipId == selectedClipId_) {
        return;
    }
    if (selectedClipId_) {
        if (DraggableClipBar* previous = bar(*selectedClipId_)) {
            previous->setSelected(false);
        }
    }
    selectedClipId_ = clipId;
    if (selectedClipId_) {
        if (DraggableClipBar* current = bar(*selectedClipId_)) {
            current->setSelected(true);
        }
    }
}

void TrackRow::setActions(std::shared_ptr<const ClipBarActions> actions) {
    actions_ = std::move(actions);
    for (auto& [id, bar] : bars_) {
        bar->setActions(actions_);
    }
}

void TrackRow::setAudioTrackLanes(std::vector<Uuid> lanes) {
    if (lanes == audioTrackLanes_) {
        return;
    }
    audioTrackLanes_ = std::move(lanes);
    updateCrossTrack();
}

std::vector<DraggableClipBar*> TrackRow::bars() const {
    std::vector<DraggableClipBar*> result;
    result.reserve(order_.size());
    for (const Uuid& id : order_) {
        result.push_back(bars_.at(id));
    }
    return result;
}

DraggableClipBar* TrackRow::bar(const Uuid& clipId) const {
    const auto found = bars_.find(clipId);
    return found != bars_.end() ? found->second : nullptr;
}

void TrackRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath lane;
    lane.addRoundedRect(QRectF(rect()), 4, 4);
    painter.fillPath(lane, QColor(255, 255, 255, 14));
}

void TrackRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (auto& [id, bar] : bars_) {
        bar->setTimeAxis(maxDuration_, width());
        bar->relayout();
    }
}

void TrackRow::updateCrossTrack() {
    // The row's own track and lane height replace whatever the panel gave.
    const CrossTrackConfig config{audioTrackLanes_, track_.id, laneHeight_};
    for (auto& [id, bar] : bars_) {
        bar->setCrossTrack(config);
    }
}

void TrackRow::updateAccessibleName() {
    setAccessibleName(QString::fromStdString(track_.name) + QStringLiteral(", ") +
                      QString::number(track_.clips.size()) + QStringLiteral(" clips"));
}

} // namespace vexel
