#pragma once

#include "domain/entities/Clip.h"
#include "foundation/Uuid.h"
#include "foundation/WorkerPool.h"
#include "presentation/viewmodels/PreviewViewModel.h"
#include "presentation/views/OverlayKeyPressFilter.h"
#include "presentation/views/preview/OverlayPlacement.h"
#include "presentation/views/preview/PreviewActions.h"

#include <QImage>
#include <QPointF>
#include <QWidget>

#include <optional>
#include <unordered_map>
#include <vector>

class QPainter;

namespace vexel {

// The texts and images over the preview's picture: those on screen at the
// playhead, images first then texts, each in list order, drawn where and as
// the export draws them (effects, motion, fades). A tap on a text selects it
// and a tap anywhere else clears the selection; the selected text or image
// follows a drag and a pinch, the arrow keys and "+" and "-", and each
// finished gesture or key press is reported once through the actions. Until
// the changed project comes back, an overlay shows its stored values again.
// A click takes the keyboard focus, and so does a selection that moves to a
// visible overlay; the keys act on the overlay only while one is selected.
class PreviewOverlayWidget : public QWidget {
    Q_OBJECT

public:
    // A press that moves this far is a drag, not a tap.
    static constexpr double dragDistance = 10;

    // `preview` gives the playhead, the picture's size and the caches;
    // `workers` share out the drawing. Both must outlive the widget.
    PreviewOverlayWidget(PreviewViewModel& preview, WorkerPool& workers, QWidget* parent = nullptr);

    // The project's text and image clips, in drawing order.
    void setClips(std::vector<Clip> textClips, std::vector<Clip> imageClips);
    // The timeline's selection. A change (not the first value) to a visible
    // text or image gives this widget the keyboard focus; with no visible
    // overlay selected, the keys pass on.
    void setSelectedClipId(std::optional<Uuid> clipId);
    void setActions(PreviewActions actions) { actions_ = std::move(actions); }

    // A pinch on the selected overlay, by `magnification` since it began;
    // the touchpad's and the touch screen's pinches arrive here.
    void applyMagnification(double magnification);
    void endMagnification();

    // Where the picture lies in this widget.
    QRectF contentRect() const;

    // What is drawn now, topmost last.
    struct Drawn {
        Uuid clipId;
        bool isText = false;
        OverlayPlacement placement;
        QImage image;
        // Around a selected text; empty otherwise.
        QPolygonF selectionFrame;
    };
    std::vector<Drawn> drawnOverlays();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Press {
        QPointF position;
        // The overlay under the press: a text, else the selected image.
        std::optional<Uuid> clipId;
        bool isText = false;
        bool draggable = false;
        // Went the drag distance at some point: no tap any more.
        bool moved = false;
    };
    // A text as laid out for the export's frame, and its raster reduced to
    // the device pixels it covers on screen.
    struct LaidOutText {
        std::string layoutKey;
        QSizeF box;
        std::string reducedKey;
        // The raster at the pixels the text covers on screen.
        QImage reduced;
        // That moved by the part of a pixel the text lies off whole pixels.
        std::optional<QPointF> imagePhase;
        QImage image;
    };

    const Clip* findClip(const std::vector<Clip>& clips, const Uuid& clipId) const;
    const Clip* visibleSelection() const;
    std::optional<Drawn> drawText(const Clip& clip, QRectF rect, media::Size renderSize,
                                  double time);
    std::optional<Drawn> drawImage(const Clip& clip, QRectF rect, media::Size renderSize,
                                   double time);
    LaidOutText& layOutText(const Clip& clip, const TextStyle& style, double boxWidth);
    media::Size renderSize() const;
    // The overlay's image onto the widget's device pixels.
    static QTransform imageToDevice(const Drawn& overlay, double ratio);
    // The device pixels the overlay may cover.
    static QRect deviceBounds(const Drawn& overlay, double ratio);
    // The overlay through its clip, at its opacity, onto a target placed by
    // `deviceToTarget`; safe on any thread.
    static void drawOverlay(QPainter& painter, const Drawn& overlay, double ratio,
                            const QTransform& deviceToTarget);
    void endDrag();
    void nudge(const Clip& clip, double dx, double dy) const;
    void step(const Clip& clip, double delta) const;

    PreviewViewModel& preview_;
    WorkerPool& workers_;
    PreviewActions actions_;
    std::vector<Clip> textClips_;
    std::vector<Clip> imageClips_;
    std::optional<Uuid> selectedClipId_;
    bool selectionSeen_ = false;
    OverlayKeyPressFilter keys_;

    std::optional<Press> press_;
    std::optional<Uuid> draggingClipId_;
    QSizeF dragOffset_;
    std::optional<Uuid> scalingClipId_;
    double activeScale_ = 1;
    // Touchpad pinches come as steps; this is their product so far.
    double nativeMagnification_ = 1;

    std::unordered_map<Uuid, LaidOutText> texts_;
    // How much each image clip's animation enlarges it, for the clip as it
    // was when reckoned.
    struct ImageZoom {
        Clip clip;
        double zoom = 1;
    };
    std::unordered_map<Uuid, ImageZoom> zooms_;
    // The overlays drawn in device pixels before they go on screen; only the
    // part they cover is written, each paint.
    QImage layer_;
};

} // namespace vexel
