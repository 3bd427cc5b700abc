#pragma once

#include "presentation/views/kit/Theme.h"

#include <QColor>
#include <QLabel>
#include <QString>

#include <optional>

namespace vexel {

// A label of plain text (never read as markup) in a text style, in `color`
// or the palette's text colour.
QLabel* plainLabel(const QString& text, FontStyle style,
                   std::optional<QColor> color = std::nullopt);

// Draws the widget's text (label or button) in `color`.
void setTextColor(QWidget* widget, const QColor& color);

} // namespace vexel
