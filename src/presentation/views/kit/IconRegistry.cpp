#include "presentation/views/kit/IconRegistry.h"

#include <QDir>
#include <QFile>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace vexel {

namespace {

QString resourcePath(std::string_view name) {
    return QStringLiteral(":/icons/") + QString::fromUtf8(name.data(), qsizetype(name.size())) +
           QStringLiteral(".svg");
}

// The drawing's shapes filled with `color`: the SVG is drawn as a mask, so the
// colours inside the files do not matter.
QImage renderTinted(const QByteArray& svg, QSize pixelSize, const QColor& color) {
    QImage image(pixelSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (pixelSize.isEmpty()) {
        return image;
    }
    QSvgRenderer renderer(svg);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Keep the drawing's aspect inside the asked box.
    const QSizeF drawn = renderer.defaultSize().scaled(pixelSize, Qt::KeepAspectRatio);
    const QRectF target((pixelSize.width() - drawn.width()) / 2.0,
                        (pixelSize.height() - drawn.height()) / 2.0, drawn.width(), drawn.height());
    renderer.render(&painter, target);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    return image;
}

class TintedSvgIconEngine final : public QIconEngine {
public:
    TintedSvgIconEngine(QByteArray svg, QColor color)
        : svg_(std::move(svg))
        , color_(std::move(color)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const double ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        const QSize pixels(int(std::lround(rect.width() * ratio)),
                           int(std::lround(rect.height() * ratio)));
        painter->drawImage(rect, renderTinted(svg_, pixels, colorFor(mode)));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        return QPixmap::fromImage(renderTinted(svg_, size, colorFor(mode)));
    }

    QIconEngine* clone() const override { return new TintedSvgIconEngine(svg_, color_); }

private:
    QColor colorFor(QIcon::Mode mode) const {
        QColor color = color_;
        if (mode == QIcon::Disabled) {
            color.setAlphaF(color.alphaF() * 0.35f);
        }
        return color;
    }

    QByteArray svg_;
    QColor color_;
};

QByteArray readDrawing(std::string_view name) {
    QFile file(resourcePath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

} // namespace

IconRegistry::IconRegistry(std::shared_ptr<Logger> logger)
    : logger_(std::move(logger)) {}

QIcon IconRegistry::icon(std::string_view name, const QColor& color) const {
    QByteArray svg = readDrawing(name);
    if (svg.isEmpty()) {
        reportUnknown(name);
        return {};
    }
    return QIcon(new TintedSvgIconEngine(std::move(svg), color));
}

QPixmap IconRegistry::pixmap(std::string_view name, QSize size, const QColor& color,
                             double devicePixelRatio) const {
    const QByteArray svg = readDrawing(name);
    if (svg.isEmpty()) {
        reportUnknown(name);
        return {};
    }
    const QSize pixels(int(std::lround(size.width() * devicePixelRatio)),
                       int(std::lround(size.height() * devicePixelRatio)));
    QPixmap result = QPixmap::fromImage(renderTinted(svg, pixels, color));
    result.setDevicePixelRatio(devicePixelRatio);
    return result;
}

bool IconRegistry::contains(std::string_view name) {
    return QFile::exists(resourcePath(name));
}

std::vector<std::string> IconRegistry::names() {
    std::vector<std::string> result;
    const QStringList files =
        QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")}, QDir::Files);
    for (const QString& file : files) {
        result.push_back(file.chopped(4).toStdString());
    }
    std::sort(result.begin(), result.end());
    return result;
}

void IconRegistry::reportUnknown(std::string_view name) const {
    {
        const std::lock_guard lock(mutex_);
        if (!reportedUnknown_.emplace(name).second) {
            return;
        }
    }
    if (logger_) {
        logger_->log(LogLevel::error, "[App] Unknown icon " + std::string(name));
    }
}

} // namespace vexel
