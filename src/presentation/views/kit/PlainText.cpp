#include "presentation/views/kit/PlainText.h"

namespace vexel {

QString plainToolTip(const QString& text) {
    if (text.isEmpty()) {
        return text;
    }
    // Qt guesses whether a tool tip is markup; "<qt>" settles it as markup, and
    // escaping makes every character of the text show as itself.
    return QStringLiteral("<qt style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() +
           QStringLiteral("</qt>");
}

QString escapeMnemonic(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace vexel
