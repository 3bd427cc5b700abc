#pragma once

#include <QFrame>
#include <QPointer>
#include <QRect>

#include <functional>

namespace vexel {

// A small panel that opens beside the control or area it belongs to (below it
// when there is room on the screen, else above, else wherever it fits) and
// closes on Escape or on a click outside it. However it closes, the owner's
// dismiss path runs exactly once for each time it was shown.
class AnchoredPopup : public QFrame {
    Q_OBJECT

public:
    explicit AnchoredPopup(QWidget* parent = nullptr);

    // Runs once per showing, when the popup has closed for any reason.
    void setOnDismiss(std::function<void()> onDismiss) { onDismiss_ = std::move(onDismiss); }

    // Whether a left click outside the popup, besides closing it, goes on to
    // what lies under it in the owner's window, so that the click there does
    // what it does with no popup open: the press, the moves and the release
    // reach the widget under the press, and the popup closes just before the
    // release. Off: a press outside only closes the popup.
    void setPassesOutsideClicks(bool passes);

    // Closes the popup for good, for an owner that is closing it itself: the
    // dismiss path does not run, and the popup is deleted once the event loop
    // is back (it may be closing from inside one of its own children).
    void discard();

    // Shows the popup beside `anchor`, a rectangle in the coordinates of
    // `anchorWidget`, preferring the given side.
    void showAnchored(QWidget* anchorWidget, QRect anchor, Qt::Edge preferred = Qt::BottomEdge);

    // Where the popup goes for an anchor and a size on a screen of `available`
    // geometry, all in global coordinates: on the preferred side, centred on
    // the anchor, moved inside the screen.
    static QRect placement(QRect anchor, QSize size, QRect available, Qt::Edge preferred);

    static constexpr int gap = 6;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    std::function<void()> onDismiss_;
    bool dismissPending_ = false;
    bool passesOutsideClicks_ = false;
    // An outside click being passed on, from its press to its release, and
    // the widget that the press went to (gone if it was deleted since).
    bool passingClick_ = false;
    QPointer<QWidget> clickTarget_;
};

} // namespace vexel
