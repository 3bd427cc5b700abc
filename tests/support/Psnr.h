#pragma once

#include <QImage>
#include <QRect>

#include <cmath>
#include <limits>

namespace vexel::test {

// The peak signal-to-noise ratio of two pictures' colour, in dB, over `area`
// (the whole of `a` by default): how closely one reproduces the other.
// Colours are compared as drawn over black (premultiplied), alpha is not
// compared. Infinity for equal colours; 0 when the sizes differ or the area
// leaves the pictures.
inline double psnr(const QImage& a, const QImage& b, QRect area = {}) {
    if (area.isNull()) {
        area = a.rect();
    }
    if (a.size() != b.size() || !a.rect().contains(area) || area.isEmpty()) {
        return 0;
    }
    const QImage left = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage right = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double squares = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* l = reinterpret_cast<const QRgb*>(left.constScanLine(y));
        const auto* r = reinterpret_cast<const QRgb*>(right.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const double dr = qRed(l[x]) - qRed(r[x]);
            const double dg = qGreen(l[x]) - qGreen(r[x]);
            const double db = qBlue(l[x]) - qBlue(r[x]);
            squares += dr * dr + dg * dg + db * db;
        }
    }
    if (squares == 0) {
        return std::numeric_limits<double>::infinity();
    }
    const double meanSquare = squares / (3.0 * area.width() * area.height());
    return 10 * std::log10(255.0 * 255.0 / meanSquare);
}

} // namespace vexel::test
