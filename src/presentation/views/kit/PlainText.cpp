#include "presentation/views/kit/PlainText.h"

namespace vexel {

namespace {

// Where a cut at `at` falls between whole characters: before a surrogate pair
// it would split.
qsizetype characterStart(const QString& text, qsizetype at) {
    return at > 0 && at < text.size() && text[at].isLowSurrogate() ? at - 1 : at;
}

} // namespace

QString shownPart(const QString& text, Qt::TextElideMode mode) {
    if (text.size() <= maxShownLength) {
        return text;
    }
    const QString ellipsis = QStringLiteral("…");
    const qsizetype half = maxShownLength / 2;
    switch (mode) {
    case Qt::ElideLeft:
        return ellipsis + text.sliced(characterStart(text, text.size() - maxShownLength));
    case Qt::ElideMiddle:
        return text.first(characterStart(text, half)) + ellipsis +
               text.sliced(characterStart(text, text.size() - half));
    case Qt::ElideRight:
    case Qt::ElideNone:
        break;
    }
    return text.first(characterStart(text, maxShownLength)) + ellipsis;
}

QString elidedPlain(const QFontMetrics& metrics, const QString& text, Qt::TextElideMode mode,
                    int width) {
    return metrics.elidedText(shownPart(text, mode), mode, width);
}

QString plainToolTip(const QString& text) {
    if (text.isEmpty()) {
        return text;
    }
    const QString shown = shownPart(text, Qt::ElideRight);
    // Qt guesses whether a tool tip is markup; "<qt>" settles it as markup, and
    // escaping makes every character of the text show as itself.
    return QStringLiteral("<qt style=\"white-space:pre-wrap\">") + shown.toHtmlEscaped() +
           QStringLiteral("</qt>");
}

QString escapeMnemonic(QString text) {
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace vexel
