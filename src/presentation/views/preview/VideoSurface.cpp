#include "presentation/views/preview/VideoSurface.h"

#include "presentation/views/preview/OverlayContentRect.h"

#include <QPainter>
#include <QResizeEvent>

#include <cmath>

namespace vexel {

VideoSurface::VideoSurface(playback::Player& player, WorkerPool& workers, QWidget* parent)
    : QWidget(parent)
    , player_(player)
    , renderer_(workers) {
    setFocusPolicy(Qt::NoFocus);
    // Every pixel is painted, bars included: nothing behind needs drawing.
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&player, &playback::Player::videoFrameChanged, this, &VideoSurface::showFrame);
    if (const auto& frame = player.currentVideoFrame()) {
        showFrame(*frame);
    }
}

void VideoSurface::setVideoSize(media::Size size) {
    if (size == videoSize_) {
        return;
    }
    videoSize_ = size;
    updateTarget();
    update();
}

QRectF VideoSurface::contentRect() const {
    return OverlayContentRect::videoContentRect({videoSize_.width, videoSize_.height},
                                                QSizeF(size()));
}

QRect VideoSurface::deviceContentRect() const {
    const QRectF logical = contentRect();
    const double ratio = devicePixelRatioF();
    // Edges rounded on their own, so that two surfaces of one size agree.
    const int left = static_cast<int>(std::lround(logical.left() * ratio));
    const int top = static_cast<int>(std::lround(logical.top() * ratio));
    const int right = static_cast<int>(std::lround(logical.right() * ratio));
    const int bottom = static_cast<int>(std::lround(logical.bottom() * ratio));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void VideoSurface::showFrame(const media::VideoFrame& frame) {
    frameTime_ = frame.time;
    frameDuration_ = frame.duration;
    renderer_.setFrame(frame.buffer);
    update();
}

void VideoSurface::updateTarget() {
    if (videoSize_.width > 0 && videoSize_.height > 0) {
        const QSize shown = deviceContentRect().size();
        renderer_.setTargetSize(shown);
        // Frames kept for scrubbing back are kept at the size they show at.
        player_.setShownSize(
            media::Size{static_cast<double>(shown.width()), static_cast<double>(shown.height())});
    } else {
        // Without content there is no picture to show.
        renderer_.setTargetSize({});
        player_.setShownSize(std::nullopt);
    }
}

void VideoSurface::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateTarget();
}

void VideoSurface::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QImage& image = renderer_.image();
    if (image.isNull()) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    // Drawn one to one at device pixels: the renderer has scaled it already.
    // Only the bars around it need black.
    const double ratio = devicePixelRatioF();
    const QRect target = deviceContentRect();
    painter.save();
    painter.scale(1 / ratio, 1 / ratio);
    const QRect device(event->rect().topLeft() * ratio, event->rect().size() * ratio);
    for (const QRect& bar : (QRegion(device) - QRegion(target))) {
        painter.fillRect(bar, Qt::black);
    }
    painter.drawImage(target.topLeft(), image);
    painter.restore();
    emit framePainted(frameTime_, frameDuration_);
}

} // namespace vexel
