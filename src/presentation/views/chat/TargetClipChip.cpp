#include "presentation/views/chat/TargetClipChip.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/PlainLabel.h"
#include "presentation/views/kit/Theme.h"

#include <QPainter>
#include <QPainterPath>

namespace vexel {

TargetClipChip::TargetClipChip(QWidget* parent)
    : ElidedLabel({}, parent) {
    setElideMode(Qt::ElideMiddle);
    QFont medium = vexel::font(FontStyle::caption);
    medium.setWeight(QFont::Medium);
    setFont(medium);
    setContentsMargins(6, 2, 6, 2);
    setTextColor(this, toQColor(VexelColors::accent));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TargetClipChip::setClipName(const QString& clipName) {
    setText(QStringLiteral("@") + clipName);
    setAccessibleName(tr("Target clip: %1").arg(clipName));
}

void TargetClipChip::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()), 4, 4);
        painter.fillPath(shape, toQColor(VexelColors::accent.withOpacity(0.15)));
    }
    ElidedLabel::paintEvent(event);
}

} // namespace vexel
