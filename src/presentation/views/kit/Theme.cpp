#include "presentation/views/kit/Theme.h"

#include "presentation/theme/VexelColors.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QStyleFactory>

namespace vexel {

QColor toQColor(RGBColor color) {
    QColor result(color.red, color.green, color.blue);
    result.setAlphaF(static_cast<float>(color.opacity));
    return result;
}

void applyDarkTheme(QApplication& application) {
    application.setStyle(QStyleFactory::create("Fusion"));

    const QColor window = toQColor(rgb(0x12121A));
    const QColor base = toQColor(VexelColors::surface800);
    const QColor button = toQColor(VexelColors::surface700);
    const QColor text(0xE5, 0xE7, 0xEB);
    const QColor disabledText = toQColor(VexelColors::textMuted);

    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, button);
    palette.setColor(QPalette::ToolTipBase, button);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, toQColor(VexelColors::textSecondary));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, button);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, toQColor(VexelColors::error));
    palette.setColor(QPalette::Link, toQColor(VexelColors::accent).lighter(140));
    palette.setColor(QPalette::Highlight, toQColor(VexelColors::accent));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Light, button.lighter(130));
    palette.setColor(QPalette::Midlight, button.lighter(115));
    palette.setColor(QPalette::Mid, button.darker(130));
    palette.setColor(QPalette::Dark, window.darker(150));
    palette.setColor(QPalette::Shadow, Qt::black);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, disabledText);
    }
    palette.setColor(QPalette::Disabled, QPalette::Button, button.darker(120));
    application.setPalette(palette);
}

namespace {

// Point size steps from the body size, as the desktop's text styles grow.
double pointSizeDelta(FontStyle style) {
    switch (style) {
    case FontStyle::caption2:
        return -3;
    case FontStyle::caption:
        return -2;
    case FontStyle::footnote:
        return -1.5;
    case FontStyle::callout:
        return -1;
    case FontStyle::body:
    case FontStyle::headline:
        return 0;
    case FontStyle::title3:
        return 3;
    case FontStyle::title2:
        return 5;
    }
    return 0;
}

} // namespace

QFont font(FontStyle style) {
    QFont result = QApplication::font();
    const double base = result.pointSizeF() > 0 ? result.pointSizeF() : 10.0;
    result.setPointSizeF(std::max(6.0, base + pointSizeDelta(style)));
    if (style == FontStyle::headline || style == FontStyle::title2 || style == FontStyle::title3) {
        result.setWeight(QFont::DemiBold);
    }
    return result;
}

QFont monospacedFont(FontStyle style) {
    QFont result = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    result.setPointSizeF(font(style).pointSizeF());
    return result;
}

} // namespace vexel
