#include "platform/text/TextRasterizer.h"

#include "platform/text/ParagraphLayout.h"
#include "platform/text/QtText.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <algorithm>
#include <bit>
#include <cmath>

namespace vexel::text {

namespace {

// Qt's premultiplied ARGB32 words lie in memory as B, G, R, A only here.
static_assert(std::endian::native == std::endian::little);

// Glyph by glyph: Qt rasterises one large path far more slowly than its parts
// (about three times for a title line at 1080p).
template <typename DrawGlyph>
void forEachGlyph(const std::vector<QTextLine>& lines, DrawGlyph drawGlyph) {
    for (const QTextLine& line : lines) {
        for (const QGlyphRun& run : line.glyphRuns()) {
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            QGlyphRun glyph = run;
            for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
                glyph.setGlyphIndexes({glyphs[i]});
                glyph.setPositions({positions[i]});
                drawGlyph(glyph, glyphs[i], positions[i]);
            }
        }
    }
}

void draw(const std::vector<QTextLine>& lines, const TextAttributes& attributes, double boxWidth,
          double boxHeight, QPainter& painter) {
    painter.setPen(qtColor(attributes.foreground));
    // Glyph runs rather than outlines, so that bitmap (colour) glyphs show too.
    forEachGlyph(lines, [&](const QGlyphRun& glyph, quint32, QPointF) {
        painter.drawGlyphRun(QPointF(0, 0), glyph);
    });
    if (!attributes.stroke || !(attributes.stroke->width > 0)) {
        return;
    }
    // An outline whose half width reaches across the box's diagonal covers the
    // whole box already; wider ones only cost time.
    const double width = std::min(attributes.stroke->width, 2 * (boxWidth + boxHeight));
    QPen pen(qtColor(attributes.stroke->color), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    forEachGlyph(lines, [&](const QGlyphRun& glyph, quint32 index, QPointF position) {
        painter.strokePath(glyph.rawFont().pathForGlyph(index).translated(position), pen);
    });
}

} // namespace

TextExtent measureText(std::string_view text, const TextAttributes& attributes, double boxWidth,
                       double heightLimit) {
    requireGuiApplication();
    const ParagraphLayout layout(text, attributes.font, boxWidth, heightLimit);
    return {layout.width(), layout.height()};
}

media::PixelBuffer rasterizeText(std::string_view text, const TextAttributes& attributes,
                                 double boxWidth, double boxHeight, double scale,
                                 media::PixelBufferRecycler* buffers) {
    requireGuiApplication();
    const double pixelWidth = std::floor(boxWidth * scale);
    const double pixelHeight = std::floor(boxHeight * scale);
    constexpr double maxPixels = media::PixelBuffer::maxDimension;
    if (!(scale > 0 && pixelWidth >= 1 && pixelWidth <= maxPixels && pixelHeight >= 1 &&
          pixelHeight <= maxPixels)) {
        return {};
    }
    const auto width = static_cast<int>(pixelWidth);
    const auto height = static_cast<int>(pixelHeight);
    media::PixelBuffer buffer =
        buffers ? buffers->makeBuffer(width, height) : media::PixelBuffer::create(width, height);

    const ParagraphLayout layout(text, attributes.font, boxWidth, boxHeight);
    const std::vector<QTextLine> lines = layout.linesAbove(boxHeight);
    if (lines.empty()) {
        return buffer;
    }
    // Qt paints straight into the buffer's pixels.
    QImage image(buffer.data(), buffer.width(), buffer.height(),
                 static_cast<qsizetype>(buffer.bytesPerRow()), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        draw(lines, attributes, boxWidth, boxHeight, painter);
    }
    return buffer;
}

} // namespace vexel::text
