#include "presentation/views/timeline/TrackRow.h"

#include "presentation/views/timeline/LaneStyle.h"

#include <utility>

namespace vexel {

TrackRow::TrackRow(const IconRegistry* icons, WaveformLoader* waveforms, QWidget* parent)
    : QWidget(parent)
    , icons_(icons)
    , waveforms_(waveforms)
    , clips_(std::make_shared<const std::vector<Clip>>()) {
    updateAccessibleName();
}

void TrackRow::setTrack(const Track& track) {
    if (track == track_ && !bars_.inOrder().empty()) {
        return;
    }
    const bool placeChanged = track.id != track_.id || track.type != track_.type;
    track_ = track;
    clips_ = std::make_shared<const std::vector<Clip>>(track_.clips);
    const QColor color = trackColor(track_.type);
    bool newBars = false;
    bars_.sync(
        track_.clips,
        [&] {
            auto* bar = new DraggableClipBar(icons_, waveforms_, this);
            bar->setActions(actions_);
            bar->setTimeAxis(maxDuration_, width());
            bar->show();
            newBars = true;
            return bar;
        },
        [&](DraggableClipBar& bar, const Clip& clip) {
            bar.setSelected(selectedClipId_ == clip.id);
            bar.setTrackClips(clips_);
            bar.setClipColor(color);
            bar.setClip(clip);
        });
    if (placeChanged || newBars) {
        updateCrossTrack();
    }
    updateAccessibleName();
}

void TrackRow::setMaxDuration(double maxDuration) {
    if (maxDuration == maxDuration_) {
        return;
    }
    maxDuration_ = maxDuration;
    bars_.forEach([&](DraggableClipBar& bar) { bar.setTimeAxis(maxDuration_, width()); });
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
    selectedClipId_ = clipId;
    bars_.forEach(
        [&](DraggableClipBar& bar) { bar.setSelected(selectedClipId_ == bar.clip().id); });
}

void TrackRow::setActions(std::shared_ptr<const ClipBarActions> actions) {
    actions_ = std::move(actions);
    bars_.forEach([&](DraggableClipBar& bar) { bar.setActions(actions_); });
}

void TrackRow::setAudioTrackLanes(std::vector<Uuid> lanes) {
    if (lanes == audioTrackLanes_) {
        return;
    }
    audioTrackLanes_ = std::move(lanes);
    updateCrossTrack();
}

std::vector<DraggableClipBar*> TrackRow::bars() const {
    return bars_.inOrder();
}

DraggableClipBar* TrackRow::bar(const Uuid& clipId) const {
    return bars_.find(clipId);
}

void TrackRow::paintEvent(QPaintEvent*) {
    paintLaneBackground(*this);
}

void TrackRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    bars_.forEach([&](DraggableClipBar& bar) {
        bar.setTimeAxis(maxDuration_, width());
        bar.relayout();
    });
}

void TrackRow::updateCrossTrack() {
    // The row's own track and lane height replace whatever the panel gave.
    const CrossTrackConfig config{audioTrackLanes_, track_.id, laneHeight_};
    bars_.forEach([&](DraggableClipBar& bar) { bar.setCrossTrack(config); });
}

void TrackRow::updateAccessibleName() {
    setAccessibleName(QString::fromStdString(track_.name) + QStringLiteral(", ") +
                      QString::number(track_.clips.size()) + QStringLiteral(" clips"));
}

} // namespace vexel
