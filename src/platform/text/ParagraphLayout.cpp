#include "platform/text/ParagraphLayout.h"

#include "platform/text/QtText.h"
#include "platform/text/TextRasterizer.h"

#include <QImage>
#include <QTextBoundaryFinder>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace vexel::text {

namespace {

// 2835 dots per metre is 72 dots per inch: a point is a pixel.
constexpr int kDotsPerMeter = 2835;

// Paragraphs end at LF, CR, CR LF, NEL and PS; a final separator starts no
// empty paragraph. (LS breaks a line inside its paragraph, as Qt does.)
std::vector<QString> paragraphsOf(const QString& text) {
    std::vector<QString> paragraphs;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\n' && c != u'\r' && c != u'\u0085' && c != u'\u2029') {
            continue;
        }
        paragraphs.push_back(text.sliced(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        paragraphs.push_back(text.sliced(start));
    }
    return paragraphs;
}

// The text, or of a longer one its first whole characters within
// maxLaidOutBytes: cut at a character's first byte, then before the last
// character cluster, which may go on past the cut.
QString laidOutPart(std::string_view text) {
    if (text.size() <= maxLaidOutBytes) {
        return qtString(text);
    }
    std::size_t end = maxLaidOutBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    QString part = qtString(text.substr(0, end));
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, part);
    clusters.toEnd();
    const qsizetype lastCluster = clusters.toPreviousBoundary();
    if (lastCluster >= 0) {
        part.truncate(lastCluster);
    }
    return part;
}

// A paragraph takes its direction from its first strong character and aligns
// at its start: the left for left-to-right text, the right otherwise.
QTextOption layoutOption(const QString& paragraph) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const bool rightToLeft = paragraph.isRightToLeft();
    option.setTextDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    option.setAlignment(rightToLeft ? Qt::AlignRight : Qt::AlignLeft);
    option.setUseDesignMetrics(true);
    return option;
}

} // namespace

ParagraphLayout::ParagraphLayout(std::string_view text, const Font& font, double width,
                                 double heightLimit) {
    if (!(font.pointSize > 0 && font.pointSize <= maxPointSize) || !(width > 0)) {
        return;
    }
    const double lineWidth = std::min(width, maxWidth);
    const bool placed = std::isfinite(heightLimit);
    QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    device.setDotsPerMeterX(kDotsPerMeter);
    device.setDotsPerMeterY(kDotsPerMeter);
    const QFont qfont = qtFont(font);

    double y = 0;
    for (const QString& paragraph : paragraphsOf(laidOutPart(text))) {
        if (y >= heightLimit) {
            break;
        }
        auto layout = std::make_unique<QTextLayout>(paragraph, qfont, &device);
        layout->setTextOption(layoutOption(paragraph));
        layout->setCacheEnabled(true);
        layout->beginLayout();
        while (y < heightLimit) {
            QTextLine line = layout->createLine();
            if (!line.isValid()) {
                break;
            }
            line.setLeadingIncluded(true);
            line.setLineWidth(lineWidth);
            if (placed) {
                line.setPosition(QPointF(0, y));
            }
            width_ = std::max(width_, line.naturalTextWidth());
            y += line.height();
        }
        layout->endLayout();
        paragraphs_.push_back(std::move(layout));
    }
    height_ = y;
}

std::vector<QTextLine> ParagraphLayout::linesAbove(double bottom) const {
    std::vector<QTextLine> lines;
    for (const auto& layout : paragraphs_) {
        for (int i = 0; i < layout->lineCount(); ++i) {
            QTextLine line = layout->lineAt(i);
            // Line tops are kept in 1/64 of a point.
            if (line.y() + line.height() <= bottom + 1.0 / 64) {
                lines.push_back(line);
            }
        }
    }
    return lines;
}

} // namespace vexel::text
