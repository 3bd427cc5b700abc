#pragma once

#include <QColor>
#include <QPixmap>
#include <QRect>

#include <vector>

class QPainter;

namespace vexel {

// The rounded bodies of the clip bars of a lane, filled with their colour. A
// crowded timeline paints hundreds of bars at every scroll and zoom step, and
// filling a rounded outline costs several times what copying a picture does:
// the ends are drawn once, as a picture, for the lane's height and colour,
// and the middle of a bar is a plain fill between them; a bar too narrow for
// a middle is drawn once for its width, which the bars of a lane mostly
// share. The same pixels as filling each rounded rectangle whole. One for
// all the bars of a lane, on the GUI thread.
class BarBody {
public:
    static constexpr double cornerRadius = 6;

    void paint(QPainter& painter, const QRect& bounds, const QColor& colour);

private:
    // A rounded rectangle of `size`, as a picture for a device of `ratio`.
    const QPixmap& shape(QSize size, const QColor& colour, qreal ratio);

    struct Shape {
        QSize size;
        QRgb colour = 0;
        qreal ratio = 1;
        QPixmap picture;
    };
    // The last shapes drawn, the latest at the end.
    std::vector<Shape> shapes_;
};

} // namespace vexel
