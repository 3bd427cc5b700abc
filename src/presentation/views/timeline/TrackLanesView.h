#pragma once

#include "domain/entities/Track.h"
#include "foundation/Uuid.h"
#include "presentation/views/timeline/ClipBarActions.h"
#include "presentation/views/timeline/TextOverlayActions.h"
#include "presentation/views/timeline/TimelineSeekGesture.h"

#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vexel {

class IconRegistry;
class TextOverlayRow;
class TimelineEmptyState;
class TimelinePlayhead;
class TrackRow;
class WaveformLoader;

// The lanes of the timeline, one per track lane top to bottom, one pixel
// apart: the text lane as a text row, every other one as a clip row. The
// playhead stands over them and, while no lane holds a clip, the empty state
// behind them. The space between the bars is a surface of its own: a press
// seeks there and a drag goes on seeking, and a click deselects.
class TrackLanesView : public QWidget {
    Q_OBJECT

public:
    TrackLanesView(const IconRegistry& icons, WaveformLoader* waveforms, QWidget* parent = nullptr);

    // The project's lanes in display order. Rows are kept by lane id.
    void setLanes(const std::vector<Track>& lanes);
    // The seconds the width stands for.
    void setMaxDuration(double seconds);
    // The height of every lane, which may fall between whole pixels.
    void setLaneHeight(double laneHeight);
    void setSelectedClipId(const std::optional<Uuid>& clipId);
    // Audio lanes get `audio`, which can take clips to another audio lane;
    // video and image lanes get `other`.
    void setClipActions(std::shared_ptr<const ClipBarActions> audio,
                        std::shared_ptr<const ClipBarActions> other);
    void setTextActions(std::shared_ptr<const TextOverlayActions> actions);
    // The part of the lanes in sight, in their coordinates; none stands for
    // all of them. Only the clips there have bars.
    void setSight(std::optional<QRect> sight);
    // Holds the bars' layout while the lanes change their size and sight
    // together, then lays them out once.
    class LayoutHold {
    public:
        explicit LayoutHold(TrackLanesView& lanes);
        ~LayoutHold();
        LayoutHold(const LayoutHold&) = delete;
        LayoutHold& operator=(const LayoutHold&) = delete;

    private:
        TrackLanesView& lanes_;
    };

    // None hides the playhead.
    void setCurrentTime(std::optional<double> seconds);
    // A press or drag on the space between the bars, at this time.
    void setOnSeek(std::function<void(double seconds)> onSeek) {
        seekGesture_.onSeek = std::move(onSeek);
    }
    // Each step of a drag there, in place of onSeek when set: the picture may
    // lag while the drag moves, and must be exact where it rests.
    void setOnScrub(std::function<void(double seconds)> onScrub) {
        seekGesture_.onScrub = std::move(onScrub);
    }
    // A click on that space.
    void setOnDeselect(std::function<void()> onDeselect) {
        seekGesture_.onTap = std::move(onDeselect);
    }

    double laneHeight() const { return laneHeight_; }
    // Top to bottom.
    std::vector<QWidget*> rows() const;
    TrackRow* trackRow(const Uuid& laneId) const;
    TextOverlayRow* textRow() const;
    TimelinePlayhead* playhead() const { return playhead_; }
    TimelineEmptyState* emptyState() const { return emptyState_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void relayoutRows();
    void updateSight();
    void setLayoutHeld(QWidget& row, bool held) const;
    double laneTop(std::size_t index) const;

    const IconRegistry& icons_;
    WaveformLoader* waveforms_;
    std::vector<std::pair<Uuid, TrackType>> laneTypes_;
    std::optional<QRect> sight_;
    int layoutHolds_ = 0;
    std::vector<Uuid> audioLaneIds_;
    std::vector<Uuid> order_;
    std::unordered_map<Uuid, QWidget*> rows_;
    double maxDuration_ = 60;
    double laneHeight_ = 28;
    std::optional<Uuid> selectedClipId_;
    std::shared_ptr<const ClipBarActions> audioActions_;
    std::shared_ptr<const ClipBarActions> otherActions_;
    std::shared_ptr<const TextOverlayActions> textActions_;
    std::optional<double> currentTime_;
    TimelineSeekGesture seekGesture_;
    TimelineEmptyState* emptyState_ = nullptr;
    TimelinePlayhead* playhead_ = nullptr;
};

} // namespace vexel
