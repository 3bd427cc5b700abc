#pragma once

#include "domain/entities/Clip.h"
#include "presentation/cache/WaveformSamples.h"
#include "presentation/helpers/ClipBarFrame.h"
#include "presentation/helpers/TimelineBarMetrics.h"
#include "presentation/views/timeline/BarBody.h"
#include "presentation/views/timeline/ClipBarActions.h"
#include "presentation/views/timeline/CrossTrackConfig.h"

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QMenu;

namespace vexel {

class IconRegistry;
class WaveformLoader;

// One clip on a lane: a rounded bar placed and sized by the clip's time, with
// its name, a badge when a visual effect is applied, and the sound of video and
// audio clips. A tap selects it; a drag on a selected bar moves it, snapping to
// the other clips' edges of its lane and, for audio, onto another audio lane
// when released over one; a drag begun within 8 px of an edge trims that edge.
// The bar shows the gesture while it runs and reports it once, through its
// actions, when it ends; it never changes the project, and shows the clip its
// row hands it again afterwards.
class DraggableClipBar : public QWidget {
    Q_OBJECT

public:
    using ClipEdge = TimelineBarMetrics::ClipEdge;

    // How far a press must travel before it is a drag rather than a tap.
    static constexpr double dragThreshold = 10;

    // `icons` and `waveforms` may be null (no badge, no sound picture); both
    // must outlive the bar.
    DraggableClipBar(const IconRegistry* icons, WaveformLoader* waveforms,
                     QWidget* parent = nullptr);

    const Clip& clip() const { return clip_; }
    void setClip(const Clip& clip);
    // The axis: `maxDuration` seconds across `totalWidth` pixels of the row.
    void setTimeAxis(double maxDuration, double totalWidth);
    void setClipColor(const QColor& color);
    void setSelected(bool selected);
    void setActions(std::shared_ptr<const ClipBarActions> actions);
    // The clips of the bar's track, its own among them: the edges it snaps to
    // and the clip a trim may not grow over.
    void setTrackClips(std::shared_ptr<const std::vector<Clip>> clips);
    void setCrossTrack(CrossTrackConfig crossTrack);
    // The bodies drawn for the bars of the lane, shared among them.
    void setBody(std::shared_ptr<BarBody> body) { body_ = std::move(body); }

    bool isSelected() const { return selected_; }
    QColor clipColor() const { return clipColor_; }
    const CrossTrackConfig& crossTrack() const { return crossTrack_; }
    ClipBarFrame frame() const;
    // The start and end of every other clip of the track, in clip order.
    std::vector<double> snapPoints() const;
    // The start a trim may not grow the clip past.
    std::optional<double> nextClipStart() const;

    // Whether a press on the bar has not been released yet.
    bool isHeld() const { return pressInRow_.has_value(); }
    // The live gesture.
    double dragOffset() const { return dragOffset_; }
    double trimWidthDelta() const { return trimWidthDelta_; }
    const std::optional<ClipEdge>& activeTrimEdge() const { return activeTrimEdge_; }
    const std::optional<double>& activeSnapPoint() const { return activeSnapPoint_; }
    // Where the bar is drawn in its row, in pixels from the row's left edge.
    double displayOffset() const;
    double displayWidth() const;

    // None until the clip's sound has been loaded.
    const std::shared_ptr<const WaveformSamples>& waveformSamples() const { return waveform_; }

    // The bar's context menu: "Duplicate", "Split at Playhead", "Edit
    // Effects..." (for a clip with editable effects), "Delete", "More
    // Commands... (Ctrl+K)". Each item selects the clip first.
    static std::unique_ptr<QMenu> makeContextMenu(const Clip& clip,
                                                  std::shared_ptr<const ClipBarActions> actions,
                                                  QWidget* parent = nullptr);

    // Places the bar in its row for the clip and the live gesture.
    void relayout();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void dragChanged(QPointF translation);
    void dragEnded(QPointF translation);
    void resetGesture();
    // A press under way is dropped: the bar shows another clip now.
    void dropPress();
    void updateHoverCursor(double localX);
    void requestWaveform();
    void updateDescription();
    const ClipBarActions* actions() const { return actions_.get(); }

    const IconRegistry* icons_;
    WaveformLoader* waveforms_;
    Clip clip_;
    double maxDuration_ = 1;
    double totalWidth_ = 0;
    QColor clipColor_;
    bool selected_ = false;
    std::shared_ptr<const ClipBarActions> actions_;
    std::shared_ptr<const std::vector<Clip>> trackClips_;
    CrossTrackConfig crossTrack_;

    // The press: where it was in the row, and whether it became a drag.
    std::optional<QPointF> pressInRow_;
    QPointF pressGlobal_;
    bool dragging_ = false;
    // The snap points of the drag under way, taken at its first step.
    std::optional<std::vector<double>> dragSnapPoints_;
    // Whether the drag has moved the bar, which a drag that only selected it
    // has not.
    bool movedWhileSelected_ = false;

    double dragOffset_ = 0;
    double trimWidthDelta_ = 0;
    std::optional<ClipEdge> activeTrimEdge_;
    std::optional<double> activeSnapPoint_;
    std::shared_ptr<const WaveformSamples> waveform_;

    // Shared by the bars of a lane.
    std::shared_ptr<BarBody> body_ = std::make_shared<BarBody>();
    QPixmap badge_;
    // The name as drawn, for the width it was elided to.
    QString elidedName_;
    int elidedFor_ = -1;
};

} // namespace vexel
