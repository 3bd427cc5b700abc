#include "presentation/views/kit/IconButton.h"

#include "presentation/views/kit/PlainText.h"

namespace vexel {

QToolButton* iconButton(const IconRegistry& icons, std::string_view iconName, const QColor& color,
                        int glyph, const QString& accessibleName) {
    auto* button = new QToolButton;
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setIcon(icons.icon(iconName, color));
    button->setIconSize(QSize(glyph, glyph));
    button->setAccessibleName(accessibleName);
    button->setToolTip(plainToolTip(accessibleName));
    button->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 1px; }"));
    return button;
}

} // namespace vexel
