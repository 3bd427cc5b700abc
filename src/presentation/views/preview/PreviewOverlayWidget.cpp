#include "presentation/views/preview/PreviewOverlayWidget.h"

#include "data/composition/ExportCompositionBuilder.h"
#include "data/composition/OverlayRenderer.h"
#include "data/composition/TextRenderer.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/Theme.h"
#include "presentation/views/preview/OverlayContentRect.h"
#include "presentation/views/preview/OverlayGestures.h"

#include <QGestureEvent>
#include <QLineF>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPinchGesture>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vexel {

namespace {

constexpr double kSelectionLineWidth = 2;

// A map that moves an image by pixels without turning or resizing it beyond
// a pixel's difference over a hundred.
bool isPixelCopy(const QTransform& transform) {
    constexpr double tolerance = 0.01;
    return std::abs(transform.m11() - 1) < tolerance && std::abs(transform.m22() - 1) < tolerance &&
           transform.m12() == 0 && transform.m21() == 0 && transform.m13() == 0 &&
           transform.m23() == 0;
}

// The path as the rectangle it is, when it is one along the axes.
std::optional<QRectF> asRectangle(const QPainterPath& path) {
    const QRectF bounds = path.boundingRect();
    if (path.elementCount() != 5) {
        return std::nullopt;
    }
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element corner = path.elementAt(i);
        if ((corner.x != bounds.left() && corner.x != bounds.right()) ||
            (corner.y != bounds.top() && corner.y != bounds.bottom())) {
            return std::nullopt;
        }
    }
    return bounds;
}

// Steps of a pixel the position of a copied text is kept to: finer than the
// eye tells, coarse enough that a resting text is reduced once.
constexpr double kPhaseSteps = 16;

// `image` (premultiplied) moved by `shift` pixels, each way by less than a
// pixel, as the export's resampling at that offset places it; the part moved
// past an edge is cut off.
QImage shiftedWithinPixel(const QImage& image, QPointF shift) {
    QImage shifted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = shifted.width();
    const int height = shifted.height();
    // Weights in 256ths of the neighbour a pixel takes its share from.
    const int across = static_cast<int>(std::lround(std::abs(shift.x()) * 256));
    const int down = static_cast<int>(std::lround(std::abs(shift.y()) * 256));
    auto mix = [](std::uint8_t* out, const std::uint8_t* own, const std::uint8_t* neighbour,
                  int weight) {
        for (int c = 0; c < 4; ++c) {
            const int other = neighbour != nullptr ? neighbour[c] : 0;
            out[c] =
                static_cast<std::uint8_t>((own[c] * (256 - weight) + other * weight + 128) >> 8);
        }
    };
    if (across > 0) {
        const int from = shift.x() > 0 ? -1 : 1;
        std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 4);
        for (int y = 0; y < height; ++y) {
            std::uint8_t* line = shifted.scanLine(y);
            std::copy(line, line + row.size(), row.begin());
            for (int x = 0; x < width; ++x) {
                const int n = x + from;
                mix(line + 4 * x, &row[4 * static_cast<std::size_t>(x)],
                    n >= 0 && n < width ? &row[4 * static_cast<std::size_t>(n)] : nullptr, across);
            }
        }
    }
    if (down > 0) {
        const int from = shift.y() > 0 ? -1 : 1;
        const QImage rows = shifted.copy();
        for (int y = 0; y < height; ++y) {
            const int n = y + from;
            const std::uint8_t* own = rows.constScanLine(y);
            const std::uint8_t* neighbour = n >= 0 && n < height ? rows.constScanLine(n) : nullptr;
            std::uint8_t* line = shifted.scanLine(y);
            for (int x = 0; x < width; ++x) {
                mix(line + 4 * x, own + 4 * x, neighbour != nullptr ? neighbour + 4 * x : nullptr,
                    down);
            }
        }
    }
    return shifted;
}

bool isVisibleAt(const Clip& clip, double time) {
    return clip.timeRange.startTime <= time &&
           time < clip.timeRange.startTime + clip.timeRange.duration;
}

} // namespace

PreviewOverlayWidget::PreviewOverlayWidget(PreviewViewModel& preview, WorkerPool& workers,
                                           QWidget* parent)
    : QWidget(parent)
    , preview_(preview)
    , workers_(workers)
    , keys_(OverlayKeyPressModifier{
          .clip = {},
          .onArrow = [this](const Clip& clip, double dx, double dy) { nudge(clip, dx, dy); },
          .onScale = [this](const Clip& clip, double delta) { step(clip, delta); },
      }) {
    // A click on the picture takes the keys from wherever they were (the chat
    // field), so that the window's shortcuts reach the project again; the
    // selection also gives the focus, to an overlay the keys can move.
    setFocusPolicy(Qt::ClickFocus);
    keys_.setEnabled(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_AcceptTouchEvents);
    grabGesture(Qt::PinchGesture);
    installEventFilter(&keys_);
    connect(&preview_, &PreviewViewModel::currentTimeChanged, this, [this] { update(); });
    connect(&preview_, &PreviewViewModel::videoSizeChanged, this, [this] { update(); });
    preview_.overlayImageCache().setOnImageReady([self = QPointer(this)] {
        if (self) {
            self->update();
        }
    });
}

void PreviewOverlayWidget::setClips(std::vector<Clip> textClips, std::vector<Clip> imageClips) {
    if (textClips == textClips_ && imageClips == imageClips_) {
        return;
    }
    textClips_ = std::move(textClips);
    imageClips_ = std::move(imageClips);
    // The keys act on the clip as it is now, not as it was when selected.
    if (const Clip* selected = selectedClipId_ ? findClip(textClips_, *selectedClipId_) : nullptr) {
        keys_.modifier().clip = *selected;
    } else if (const Clip* image =
                   selectedClipId_ ? findClip(imageClips_, *selectedClipId_) : nullptr) {
        keys_.modifier().clip = *image;
    } else {
        keys_.setEnabled(false);
    }
    std::erase_if(
        texts_, [this](const auto& entry) { return findClip(textClips_, entry.first) == nullptr; });
    update();
}

void PreviewOverlayWidget::setSelectedClipId(std::optional<Uuid> clipId) {
    const bool first = !selectionSeen_;
    selectionSeen_ = true;
    if (!first && clipId == selectedClipId_) {
        return;
    }
    selectedClipId_ = std::move(clipId);
    update();
    // Without an overlay to move, a focused picture lets every key through
    // to the window's shortcuts.
    const Clip* selected = visibleSelection();
    keys_.setEnabled(selected != nullptr);
    if (selected != nullptr) {
        keys_.modifier().clip = *selected;
    }
    if (!first && selected != nullptr) {
        setFocus(Qt::OtherFocusReason);
    }
}

const Clip* PreviewOverlayWidget::findClip(const std::vector<Clip>& clips,
                                           const Uuid& clipId) const {
    const auto found = std::find_if(clips.begin(), clips.end(),
                                    [&](const Clip& clip) { return clip.id == clipId; });
    return found == clips.end() ? nullptr : &*found;
}

const Clip* PreviewOverlayWidget::visibleSelection() const {
    if (!selectedClipId_) {
        return nullptr;
    }
    const double time = preview_.currentTime();
    for (const std::vector<Clip>* clips : {&textClips_, &imageClips_}) {
        if (const Clip* clip = findClip(*clips, *selectedClipId_)) {
            return isVisibleAt(*clip, time) ? clip : nullptr;
        }
    }
    return nullptr;
}

QRectF PreviewOverlayWidget::contentRect() const {
    const media::Size video = preview_.videoSize();
    return OverlayContentRect::contentRect({video.width, video.height}, QSizeF(size()));
}

media::Size PreviewOverlayWidget::renderSize() const {
    const media::Size video = preview_.videoSize();
    if (video.width > 0 && video.height > 0) {
        return video;
    }
    const QRectF rect = contentRect();
    return {rect.width(), rect.height()};
}

PreviewOverlayWidget::LaidOutText&
PreviewOverlayWidget::layOutText(const Clip& clip, const TextStyle& style, double boxWidth) {
    LaidOutText& text = texts_[clip.id];
    // The cache's own key, with the box width for a box.
    std::string key = TextRenderCache::cacheKey(clip, style, {boxWidth, 0}).value_or("");
    if (key != text.layoutKey) {
        const media::Size box = TextRenderer::measureTextSize(clip.assetName, style, boxWidth);
        text = LaidOutText{std::move(key), QSizeF(box.width, box.height), {}, {}, {}, {}};
    }
    return text;
}

std::optional<PreviewOverlayWidget::Drawn>
PreviewOverlayWidget::drawText(const Clip& clip, QRectF rect, media::Size renderSize, double time) {
    // The export's own raster, laid out for its frame: the text engine keeps
    // to whole pixel sizes, so a layout at the picture's size on screen would
    // not break and space the glyphs quite as the exported file does.
    const TextStyle style = clip.textStyle.value_or(TextStyle::defaultStyle());
    const TextStyle output = OverlayRenderer::outputTextStyle(style, renderSize);
    LaidOutText& text =
        layOutText(clip, output, OverlayRenderer::outputBoxWidth(style, renderSize));
    if (!(text.box.width() > 0 && text.box.height() > 0)) {
        return std::nullopt;
    }
    // Reduced once to the pixels it covers, so that painting copies it.
    const double scale = rect.height() / renderSize.height;
    const QSizeF shown = text.box * scale;
    const double ratio = devicePixelRatioF();
    const QSize pixels(std::max(1, static_cast<int>(std::lround(shown.width() * ratio))),
                       std::max(1, static_cast<int>(std::lround(shown.height() * ratio))));
    Clip scaled = clip;
    if (scalingClipId_ == clip.id) {
        scaled.textScale = clip.textScale.value_or(1.0) * activeScale_;
    }
    std::optional<OverlayPlacement> placement =
        OverlayPlacement::text(scaled, shown, rect, renderSize, time);
    if (!placement) {
        return std::nullopt;
    }
    const QPointF offset =
        draggingClipId_ == clip.id ? QPointF(dragOffset_.width(), dragOffset_.height()) : QPointF();
    *placement = placement->translated(offset);
    // A copied text lands on whole pixels, a little larger or smaller than
    // its placement, while the export puts it where its placement says,
    // between them: the part of a pixel its centre lies off is put in its
    // image, as the export's resampling would.
    const QTransform toDevice =
        QTransform::fromScale(shown.width() / pixels.width(), shown.height() / pixels.height()) *
        placement->toWidget * QTransform::fromScale(ratio, ratio);
    QPointF phase;
    if (isPixelCopy(toDevice)) {
        const QPointF half(pixels.width() / 2.0, pixels.height() / 2.0);
        const QPointF off = toDevice.map(half) -
                            (QPointF(std::round(toDevice.dx()), std::round(toDevice.dy())) + half);
        phase = QPointF(std::round(off.x() * kPhaseSteps) / kPhaseSteps,
                        std::round(off.y() * kPhaseSteps) / kPhaseSteps);
    }
    // The raster reduced once for its size; moved within a pixel for each
    // place it rests at, which a moving text changes at every frame.
    std::string reducedKey = text.layoutKey + "|" + std::to_string(pixels.width()) + "x" +
                             std::to_string(pixels.height());
    if (reducedKey != text.reducedKey) {
        const std::optional<QImage> raster =
            preview_.textRenderCache().image(clip, output, text.box);
        if (!raster) {
            return std::nullopt;
        }
        text.reduced = raster->scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // Its pixels are the screen's, whatever the raster's density was.
        text.reduced.setDevicePixelRatio(1);
        text.reducedKey = std::move(reducedKey);
        text.imagePhase.reset();
    }
    if (text.imagePhase != phase) {
        text.image = phase.isNull() ? text.reduced : shiftedWithinPixel(text.reduced, phase);
        text.image.setDevicePixelRatio(1);
        text.imagePhase = phase;
    }
    Drawn drawn{clip.id, true, *placement, text.image, {}};
    if (selectedClipId_ == clip.id) {
        drawn.selectionFrame =
            OverlayPlacement::textSelectionFrame(scaled, shown, rect, renderSize, time)
                .translated(offset);
    }
    return drawn;
}

std::optional<PreviewOverlayWidget::Drawn> PreviewOverlayWidget::drawImage(const Clip& clip,
                                                                           QRectF rect,
                                                                           media::Size renderSize,
                                                                           double time) {
    const std::optional<ColorAdjustInstruction::ImageOverlayEntry> entry =
        ExportCompositionBuilder::imageOverlayEntry(clip);
    if (!entry) {
        return std::nullopt;
    }
    // Made at the largest size it takes on screen: at rest, times what its
    // animation enlarges it by, which is known once an image of it is at
    // hand. A pinch enlarges that copy rather than the photo.
    const OverlayTransform base = clip.overlayTransform.value_or(OverlayTransform{});
    const auto zoom = zooms_.find(clip.id);
    const double largest =
        OverlayGestures::clampScale(base.scale) * devicePixelRatioF() *
        (zoom != zooms_.end() && zoom->second.clip == clip ? zoom->second.zoom : 1.0);
    const QSize box(static_cast<int>(std::ceil(rect.width() * largest)),
                    static_cast<int>(std::ceil(rect.height() * largest)));
    const std::optional<OverlayImageCache::Image> image =
        preview_.overlayImageCache().image(*entry, box);
    if (!image) {
        return std::nullopt;
    }
    if (zoom == zooms_.end() || zoom->second.clip != clip) {
        zooms_[clip.id] = {clip, OverlayPlacement::animationZoom(clip, image->pixels, renderSize)};
    }
    Clip shown = clip;
    if (draggingClipId_ == clip.id || scalingClipId_ == clip.id) {
        const QSizeF drag = draggingClipId_ == clip.id ? dragOffset_ : QSizeF();
        shown.overlayTransform = OverlayTransform{
            base.x + drag.width() / rect.width(), base.y + drag.height() / rect.height(),
            base.scale * (scalingClipId_ == clip.id ? activeScale_ : 1.0)};
    }
    std::optional<OverlayPlacement> placement =
        OverlayPlacement::image(shown, image->pixels, rect, renderSize, time);
    if (!placement) {
        return std::nullopt;
    }
    return Drawn{clip.id, false, *placement, image->image, {}};
}

std::vector<PreviewOverlayWidget::Drawn> PreviewOverlayWidget::drawnOverlays() {
    std::vector<Drawn> drawn;
    const QRectF rect = contentRect();
    const media::Size frame = renderSize();
    const double time = preview_.currentTime();
    // Copied: the caches answer with a reference valid until their next call.
    const std::vector<Clip> images = preview_.imageOverlayCache().visibleClips(imageClips_, time);
    for (const Clip& clip : images) {
        if (std::optional<Drawn> image = drawImage(clip, rect, frame, time)) {
            drawn.push_back(std::move(*image));
        }
    }
    const std::vector<Clip> texts = preview_.textOverlayCache().visibleClips(textClips_, time);
    for (const Clip& clip : texts) {
        if (std::optional<Drawn> text = drawText(clip, rect, frame, time)) {
            drawn.push_back(std::move(*text));
        }
    }
    return drawn;
}

QTransform PreviewOverlayWidget::imageToDevice(const Drawn& overlay, double ratio) {
    const OverlayPlacement& placement = overlay.placement;
    return QTransform::fromScale(placement.size.width() / overlay.image.width(),
                                 placement.size.height() / overlay.image.height()) *
           placement.toWidget * QTransform::fromScale(ratio, ratio);
}

QRect PreviewOverlayWidget::deviceBounds(const Drawn& overlay, double ratio) {
    const QTransform toDevice = imageToDevice(overlay, ratio);
    QRect bounds;
    if (isPixelCopy(toDevice)) {
        bounds = QRect(QPoint(static_cast<int>(std::round(toDevice.dx())),
                              static_cast<int>(std::round(toDevice.dy()))),
                       overlay.image.size());
    } else {
        // A pixel more each way for the smoothing of the edges.
        bounds = toDevice.mapRect(QRectF(QPointF(0, 0), QSizeF(overlay.image.size())))
                     .toAlignedRect()
                     .adjusted(-1, -1, 1, 1);
    }
    if (overlay.placement.clip) {
        bounds &= QTransform::fromScale(ratio, ratio)
                      .mapRect(overlay.placement.clip->boundingRect())
                      .toAlignedRect()
                      .adjusted(-1, -1, 1, 1);
    }
    return bounds;
}

void PreviewOverlayWidget::drawOverlay(QPainter& painter, const Drawn& overlay, double ratio,
                                       const QTransform& deviceToTarget) {
    const OverlayPlacement& placement = overlay.placement;
    const QTransform widgetToTarget = QTransform::fromScale(ratio, ratio) * deviceToTarget;
    painter.save();
    painter.setOpacity(placement.opacity);
    if (placement.clip) {
        painter.setTransform(widgetToTarget);
        // A rectangle, which the painter cuts to far faster than a path.
        if (const std::optional<QRectF> kept = asRectangle(*placement.clip)) {
            painter.setClipRect(*kept);
        } else {
            // A path makes its drawing cache on first use, unguarded, and the
            // bands are drawn at once: each clips with a path of its own.
            QPainterPath own;
            own.setFillRule(placement.clip->fillRule());
            own.addPath(*placement.clip);
            painter.setClipPath(own);
        }
    }
    // Most overlays rest: their image has the pixels they cover and is only
    // moved, so it is copied to whole pixels rather than resampled.
    const QTransform toDevice = imageToDevice(overlay, ratio);
    if (isPixelCopy(toDevice)) {
        painter.setTransform(deviceToTarget);
        painter.drawImage(QPointF(std::round(toDevice.dx()), std::round(toDevice.dy())),
                          overlay.image);
    } else {
        painter.setTransform(placement.toWidget * widgetToTarget);
        painter.drawImage(QRectF(QPointF(0, 0), placement.size), overlay.image);
    }
    painter.restore();
}

void PreviewOverlayWidget::paintEvent(QPaintEvent*) {
    const std::vector<Drawn> drawn = drawnOverlays();
    const double ratio = devicePixelRatioF();
    const QSize device = (QSizeF(size()) * ratio).toSize();
    // Empty for an overlay that does not show.
    std::vector<QRect> bounds;
    QRect touched;
    for (const Drawn& overlay : drawn) {
        bounds.push_back(overlay.placement.opacity > 0 ? deviceBounds(overlay, ratio) : QRect());
        touched |= bounds.back();
    }
    touched &= QRect(QPoint(0, 0), device);
    QPainter painter(this);
    if (!touched.isEmpty()) {
        if (layer_.size() != device) {
            layer_ = QImage(device, QImage::Format_ARGB32_Premultiplied);
        }
        // Resampling a moving photo over the whole picture takes a core
        // several milliseconds: the workers share the layer out in bands, each
        // band drawn whole, every overlay in order, then copied on screen.
        // Overlays crowd some bands more than others: four bands a thread
        // even the load out.
        const auto bands = 4 * (static_cast<std::size_t>(workers_.threadCount()) + 1);
        const auto rows = static_cast<std::size_t>(touched.height());
        workers_.parallelFor(
            rows, (rows + bands - 1) / bands, [&](std::size_t begin, std::size_t end) {
                const int top = touched.top() + static_cast<int>(begin);
                QImage band(layer_.scanLine(top) + static_cast<std::ptrdiff_t>(touched.left()) * 4,
                            touched.width(), static_cast<int>(end - begin), layer_.bytesPerLine(),
                            QImage::Format_ARGB32_Premultiplied);
                band.fill(Qt::transparent);
                QPainter bandPainter(&band);
                bandPainter.setRenderHint(QPainter::SmoothPixmapTransform);
                const QTransform deviceToBand = QTransform::fromTranslate(-touched.left(), -top);
                const QRect rowsOfBand(touched.left(), top, touched.width(), band.height());
                for (std::size_t i = 0; i < drawn.size(); ++i) {
                    if (bounds[i].intersects(rowsOfBand)) {
                        drawOverlay(bandPainter, drawn[i], ratio, deviceToBand);
                    }
                }
            });
        painter.save();
        painter.setTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
        painter.drawImage(touched.topLeft(), layer_, touched);
        painter.restore();
    }
    for (const Drawn& overlay : drawn) {
        if (overlay.selectionFrame.isEmpty() || !(overlay.placement.opacity > 0)) {
            continue;
        }
        painter.save();
        painter.setOpacity(overlay.placement.opacity);
        QPen dashed(toQColor(VexelColors::selection), kSelectionLineWidth);
        // 6 points on, 3 off, in units of the line's width.
        dashed.setDashPattern({6 / kSelectionLineWidth, 3 / kSelectionLineWidth});
        dashed.setCapStyle(Qt::FlatCap);
        dashed.setJoinStyle(Qt::MiterJoin);
        painter.setPen(dashed);
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(overlay.selectionFrame);
        painter.restore();
    }
}

bool PreviewOverlayWidget::event(QEvent* event) {
    if (event->type() == QEvent::NativeGesture) {
        const auto* gesture = static_cast<QNativeGestureEvent*>(event);
        switch (gesture->gestureType()) {
        case Qt::BeginNativeGesture:
            nativeMagnification_ = 1;
            return true;
        case Qt::ZoomNativeGesture:
            // Each step is a change relative to the last.
            nativeMagnification_ *= 1 + gesture->value();
            applyMagnification(nativeMagnification_);
            return true;
        case Qt::EndNativeGesture:
            endMagnification();
            return true;
        default:
            break;
        }
    } else if (event->type() == QEvent::Gesture) {
        auto* gestures = static_cast<QGestureEvent*>(event);
        if (auto* pinch = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture))) {
            applyMagnification(pinch->totalScaleFactor());
            if (pinch->state() == Qt::GestureFinished || pinch->state() == Qt::GestureCanceled) {
                endMagnification();
            }
            gestures->accept(pinch);
            return true;
        }
    }
    return QWidget::event(event);
}

void PreviewOverlayWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF position = event->position();
    Press press{position, std::nullopt, false, false, false};
    const std::vector<Drawn> drawn = drawnOverlays();
    // Texts lie above images; among them the last drawn lies on top.
    for (auto overlay = drawn.rbegin(); overlay != drawn.rend(); ++overlay) {
        if (overlay->isText &&
            overlay->placement.outline().containsPoint(position, Qt::OddEvenFill)) {
            press = {position, overlay->clipId, true, overlay->clipId == selectedClipId_, false};
            break;
        }
    }
    if (!press.clipId) {
        for (const Drawn& overlay : drawn) {
            if (!overlay.isText && overlay.clipId == selectedClipId_ &&
                overlay.placement.outline().containsPoint(position, Qt::OddEvenFill)) {
                press = {position, overlay.clipId, false, true, false};
            }
        }
    }
    press_ = press;
    event->accept();
}

void PreviewOverlayWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!press_) {
        return;
    }
    const QPointF translation = event->position() - press_->position;
    if (QLineF(QPointF(), translation).length() >= dragDistance) {
        press_->moved = true;
        if (!draggingClipId_ && press_->draggable) {
            draggingClipId_ = press_->clipId;
        }
    }
    if (draggingClipId_) {
        dragOffset_ = QSizeF(translation.x(), translation.y());
        update();
    }
}

void PreviewOverlayWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!press_ || event->button() != Qt::LeftButton) {
        return;
    }
    const Press press = *press_;
    press_.reset();
    if (draggingClipId_) {
        endDrag();
        return;
    }
    if (press.moved || QLineF(press.position, event->position()).length() >= dragDistance) {
        return;
    }
    // A tap: on a text it selects that text; anywhere else, images
    // included, it clears the selection.
    if (actions_.onSelectText) {
        actions_.onSelectText(press.isText ? press.clipId : std::nullopt);
    }
}

void PreviewOverlayWidget::endDrag() {
    const Uuid clipId = *draggingClipId_;
    const QSizeF translation = dragOffset_;
    const double liveScale = scalingClipId_ == clipId ? activeScale_ : 1.0;
    draggingClipId_.reset();
    dragOffset_ = QSizeF();
    update();
    const QRectF rect = contentRect();
    if (const Clip* text = findClip(textClips_, clipId)) {
        if (actions_.onRepositionText) {
            const QPointF moved = OverlayGestures::textDragged(
                text->textPosition.value_or(TextPosition::bottom()), translation, rect);
            actions_.onRepositionText(clipId, moved.x(), moved.y());
        }
    } else if (const Clip* image = findClip(imageClips_, clipId)) {
        if (actions_.onTransformImage) {
            const OverlayTransform moved = OverlayGestures::imageDragged(
                image->overlayTransform.value_or(OverlayTransform{}), translation, rect, liveScale);
            actions_.onTransformImage(clipId, moved.x, moved.y, moved.scale);
        }
    }
}

void PreviewOverlayWidget::applyMagnification(double magnification) {
    if (!scalingClipId_) {
        const Clip* selected = visibleSelection();
        if (!selected) {
            return;
        }
        scalingClipId_ = selected->id;
    }
    activeScale_ = magnification;
    update();
}

void PreviewOverlayWidget::endMagnification() {
    if (!scalingClipId_) {
        return;
    }
    const Uuid clipId = *scalingClipId_;
    const double magnification = activeScale_;
    const QRectF rect = contentRect();
    const QPointF dragShare =
        draggingClipId_ == clipId
            ? QPointF(dragOffset_.width() / rect.width(), dragOffset_.height() / rect.height())
            : QPointF();
    scalingClipId_.reset();
    activeScale_ = 1;
    update();
    if (const Clip* text = findClip(textClips_, clipId)) {
        if (actions_.onScaleText) {
            actions_.onScaleText(clipId,
                                 OverlayGestures::textPinched(text->textScale, magnification));
        }
    } else if (const Clip* image = findClip(imageClips_, clipId)) {
        if (actions_.onTransformImage) {
            const OverlayTransform pinched = OverlayGestures::imagePinched(
                image->overlayTransform.value_or(OverlayTransform{}), magnification, dragShare);
            actions_.onTransformImage(clipId, pinched.x, pinched.y, pinched.scale);
        }
    }
}

void PreviewOverlayWidget::nudge(const Clip& clip, double dx, double dy) const {
    if (clip.trackType == TrackType::text) {
        if (actions_.onRepositionText) {
            const QPointF moved = OverlayGestures::textNudged(
                clip.textPosition.value_or(TextPosition::bottom()), dx, dy);
            actions_.onRepositionText(clip.id, moved.x(), moved.y());
        }
    } else if (actions_.onTransformImage) {
        const OverlayTransform moved = OverlayGestures::imageNudged(
            clip.overlayTransform.value_or(OverlayTransform{}), dx, dy);
        actions_.onTransformImage(clip.id, moved.x, moved.y, moved.scale);
    }
}

void PreviewOverlayWidget::step(const Clip& clip, double delta) const {
    if (clip.trackType == TrackType::text) {
        if (actions_.onScaleText) {
            actions_.onScaleText(clip.id, OverlayGestures::textStepped(clip.textScale, delta));
        }
    } else if (actions_.onTransformImage) {
        const OverlayTransform stepped = OverlayGestures::imageStepped(
            clip.overlayTransform.value_or(OverlayTransform{}), delta);
        actions_.onTransformImage(clip.id, stepped.x, stepped.y, stepped.scale);
    }
}

} // namespace vexel
