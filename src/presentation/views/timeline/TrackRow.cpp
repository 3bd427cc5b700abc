#include "presentation/views/timeline/TrackRow.h"

#include "presentation/views/timeline/LaneStyle.h"

#include <utility>

namespace vexel {

TrackRow::TrackRow(const IconRegistry* icons, WaveformLoader* waveforms, QWidget* parent)
    : QWidget(parent)
    , icons_(icons)
    , waveforms_(waveforms)
    , bars_(
          *this,
          [this] {
              auto* bar = new DraggableClipBar(icons_, waveforms_, this);
              bar->setBody(bars_.body());
              return bar;
          },
          [this](DraggableClipBar& bar, const Clip& clip) {
              bar.setActions(actions_);
              bar.setTimeAxis(maxDuration_, width());
              bar.setSelected(selectedClipId_ == clip.id);
              bar.setTrackClips(bars_.clips());
              bar.setClipColor(trackColor(trackType_));
              bar.setCrossTrack(crossTrack());
              bar.setClip(clip);
          }) {
    bars_.setSliverColour(trackColor(trackType_));
    updateAccessibleName();
}

void TrackRow::setTrack(const Track& track) {
    const bool placeChanged = track.id != trackId_ || track.type != trackType_;
    if (hasTrack_ && !placeChanged && track.name == trackName_ && track.clips == *bars_.clips()) {
        return;
    }
    hasTrack_ = true;
    trackId_ = track.id;
    trackType_ = track.type;
    trackName_ = track.name;
    bars_.setSliverColour(trackColor(trackType_));
    bars_.setClips(std::make_shared<const std::vector<Clip>>(track.clips));
    updateAccessibleName();
}

void TrackRow::setMaxDuration(double maxDuration) {
    if (maxDuration == maxDuration_) {
        return;
    }
    maxDuration_ = maxDuration;
    bars_.setAxis(maxDuration_, width());
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
    // Laid out again: the selected clip has a bar wherever it is in sight.
    bars_.setSelectedClipId(clipId);
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

void TrackRow::setSight(std::optional<BarsInView::Columns> sight) {
    bars_.setSight(sight);
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
    bars_.rowResized(maxDuration_, *event);
}

CrossTrackConfig TrackRow::crossTrack() const {
    // The row's own track and lane height replace whatever the panel gave.
    return {audioTrackLanes_, trackId_, laneHeight_};
}

void TrackRow::updateCrossTrack() {
    const CrossTrackConfig config = crossTrack();
    bars_.forEach([&](DraggableClipBar& bar) { bar.setCrossTrack(config); });
}

void TrackRow::updateAccessibleName() {
    setAccessibleName(QString::fromStdString(trackName_) + QStringLiteral(", ") +
                      QString::number(bars_.clips()->size()) + QStringLiteral(" clips"));
}

} // namespace vexel
