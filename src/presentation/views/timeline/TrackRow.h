#pragma once

#include "domain/entities/Track.h"
#include "foundation/Uuid.h"
#include "presentation/views/timeline/ClipBarActions.h"
#include "presentation/views/timeline/ClipBarSet.h"
#include "presentation/views/timeline/DraggableClipBar.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vexel {

class IconRegistry;
class WaveformLoader;

// One clip lane of the timeline: a translucent strip holding the bars of its
// track's clips, placed by time across the row's whole width, coloured by the
// kind of track. Only the clips in sight have a bar (ClipBarSet), so a track
// of any length costs what the part in sight does. Bars are kept by clip id
// as the project changes, so a gesture under way survives a refresh; a clip
// that leaves the track takes its bar with it. Each bar gets the row's track
// and lane height for moves between audio lanes, and the other clips of the
// track to snap to and to stop at.
class TrackRow : public QWidget {
    Q_OBJECT

public:
    TrackRow(const IconRegistry* icons, WaveformLoader* waveforms, QWidget* parent = nullptr);

    void setTrack(const Track& track);
    // The seconds the row's width stands for.
    void setMaxDuration(double maxDuration);
    // The lane's height, which may fall between whole pixels.
    void setLaneHeight(double laneHeight);
    void setSelectedClipId(const std::optional<Uuid>& clipId);
    void setActions(std::shared_ptr<const ClipBarActions> actions);
    // The audio lanes of the timeline, top to bottom; empty where clips stay
    // on their lane.
    void setAudioTrackLanes(std::vector<Uuid> lanes);
    // While held, the bars are laid out only once let go.
    void setLayoutHeld(bool held) { bars_.setHeld(held); }
    // The columns of the row in sight; none stands for all of them.
    void setSight(std::optional<BarsInView::Columns> sight);

    // The bars in sight, in clip order.
    std::vector<DraggableClipBar*> bars() const;
    // None when the clip has no bar in sight.
    DraggableClipBar* bar(const Uuid& clipId) const;
    const LaneSlivers& slivers() const { return bars_.slivers(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CrossTrackConfig crossTrack() const;
    void updateCrossTrack();
    void updateAccessibleName();

    const IconRegistry* icons_;
    WaveformLoader* waveforms_;
    Uuid trackId_;
    TrackType trackType_ = TrackType::video;
    std::string trackName_;
    bool hasTrack_ = false;
    double maxDuration_ = 1;
    double laneHeight_ = 28;
    std::optional<Uuid> selectedClipId_;
    std::shared_ptr<const ClipBarActions> actions_;
    std::vector<Uuid> audioTrackLanes_;
    ClipBarSet<DraggableClipBar> bars_;
};

} // namespace vexel
