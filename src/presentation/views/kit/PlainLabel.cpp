#include "presentation/views/kit/PlainLabel.h"

namespace vexel {

QLabel* plainLabel(const QString& text, FontStyle style, std::optional<QColor> color) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font(style));
    if (color) {
        setTextColor(label, *color);
    }
    return label;
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

} // namespace vexel
