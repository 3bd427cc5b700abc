#include "presentation/views/timeline/LaneStyle.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/Theme.h"

#include <QPainter>
#include <QPainterPath>
#include <QWidget>

namespace vexel {

void paintLaneBackground(QWidget& lane) {
    QPainter painter(&lane);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath strip;
    strip.addRoundedRect(QRectF(lane.rect()), 4, 4);
    painter.fillPath(strip, QColor(255, 255, 255, 14));
}

QColor trackColor(TrackType type) {
    switch (type) {
    case TrackType::video:
        return toQColor(VexelColors::trackVideo);
    case TrackType::audio:
        return toQColor(VexelColors::trackAudio);
    case TrackType::image:
        return toQColor(VexelColors::trackImage);
    case TrackType::text:
        return toQColor(VexelColors::trackText);
    }
    return toQColor(VexelColors::trackVideo);
}

} // namespace vexel
