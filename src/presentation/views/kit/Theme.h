#pragma once

#include "presentation/theme/RGBColor.h"

#include <QColor>
#include <QFont>

class QApplication;

namespace vexel {

// The palette colour as Qt draws it.
QColor toQColor(RGBColor color);

// The whole window is dark whatever the desktop's setting: the Fusion style
// with a dark palette on the palette's surfaces, and tool tips to match.
void applyDarkTheme(QApplication& application);

// The text styles the windows use, relative to the application's font so that
// a larger desktop font scales every view alike.
enum class FontStyle { caption2, caption, footnote, callout, body, headline, title3, title2 };

QFont font(FontStyle style);

// A monospaced font of the style's size, for keys and prefilled instructions.
QFont monospacedFont(FontStyle style);

} // namespace vexel
