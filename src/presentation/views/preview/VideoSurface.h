#pragma once

#include "foundation/WorkerPool.h"
#include "platform/media/Geometry.h"
#include "platform/playback/Player.h"
#include "presentation/views/preview/PreviewFrameRenderer.h"

#include <QWidget>

namespace vexel {

// Shows the player's picture fitted whole into the widget and centred, on
// black bars, with no controls of its own. It never takes the keyboard focus,
// so keys stay with the overlays and the window. The frames come coloured and
// composed from the player; the surface only scales them.
class VideoSurface : public QWidget {
    Q_OBJECT

public:
    // `workers` scale the frames, beside the GUI thread; both the player and
    // the pool must outlive the surface.
    VideoSurface(playback::Player& player, WorkerPool& workers, QWidget* parent = nullptr);

    // The composition's render size, whose shape decides where the picture
    // lies; zero before there is content.
    void setVideoSize(media::Size size);

    // Where the picture lies, in widget coordinates (OverlayContentRect).
    QRectF contentRect() const;
    // The same in whole device pixels, as the picture is drawn.
    QRect deviceContentRect() const;

    // The picture as it is drawn now, at device pixels; null before a frame.
    const QImage& presentedImage() const { return renderer_.image(); }

signals:
    // A frame has just been drawn on screen: when it shows in the item, and
    // for how long.
    void framePainted(const vexel::media::MediaTime& time, const vexel::media::MediaTime& duration);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showFrame(const media::VideoFrame& frame);
    void updateTarget();

    playback::Player& player_;
    PreviewFrameRenderer renderer_;
    media::Size videoSize_{};
    media::MediaTime frameTime_{};
    media::MediaTime frameDuration_{};
};

} // namespace vexel
