#pragma once

#include "domain/entities/Clip.h"
#include "presentation/views/timeline/BarBody.h"
#include "presentation/views/timeline/TextOverlayActions.h"

#include <QPointF>
#include <QWidget>

#include <memory>
#include <optional>

class QMenu;

namespace vexel {

// One text clip on the text lane: a bar placed by time showing the text. A
// tap selects it; a drag along the lane moves it, no snapping, kept inside
// the lane. Whether a drag moves the bar is decided by the press: one begun
// on a bar that was not selected only selects it, however far it goes.
class TextOverlayBar : public QWidget {
    Q_OBJECT

public:
    static constexpr double dragThreshold = 10;
    static constexpr double minimumWidth = 4;

    explicit TextOverlayBar(QWidget* parent = nullptr);

    const Clip& clip() const { return clip_; }
    void setClip(const Clip& clip);
    // The lane: `maxDuration` seconds (1 when not positive) across
    // `totalWidth` pixels.
    void setTimeAxis(double maxDuration, double totalWidth);
    void setSelected(bool selected);
    bool isSelected() const { return selected_; }
    void setActions(std::shared_ptr<const TextOverlayActions> actions);
    // The bodies drawn for the bars of the lane, shared among them.
    void setBody(std::shared_ptr<BarBody> body) { body_ = std::move(body); }
    // Whether a press on the bar has not been released yet.
    bool isHeld() const { return pressGlobal_.has_value(); }

    // The live horizontal offset of a drag, in pixels.
    double dragOffset() const { return dragOffset_; }
    // Where the bar is drawn in its lane.
    double displayOffset() const;
    double displayWidth() const;

    // The start a drag of `dx` pixels reports: the new start kept inside
    // 0 ... (lane length - duration).
    double movedStart(double dx) const;

    // "Edit...", "Edit Animation..." (for an animated text), "Duplicate",
    // "Delete", "More Commands... (Ctrl+K)". Each item selects the clip first.
    static std::unique_ptr<QMenu> makeContextMenu(const Clip& clip,
                                                  std::shared_ptr<const TextOverlayActions> actions,
                                                  QWidget* parent = nullptr);
    // Whether the clip has an entrance, exit or loop animation to edit.
    static bool hasEditableAnimation(const Clip& clip);

    void relayout();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    double span() const { return maxDuration_ > 0 ? maxDuration_ : 1.0; }
    void updateDescription();

    Clip clip_;
    double maxDuration_ = 1;
    double totalWidth_ = 0;
    bool selected_ = false;
    std::shared_ptr<const TextOverlayActions> actions_;

    std::optional<QPointF> pressGlobal_;
    bool dragging_ = false;
    // Whether the bar was selected when the press began: only then does it
    // follow the pointer.
    bool movable_ = false;
    double dragOffset_ = 0;

    // Shared by the bars of a lane.
    std::shared_ptr<BarBody> body_ = std::make_shared<BarBody>();
    QString elidedText_;
    int elidedFor_ = -1;
};

} // namespace vexel
