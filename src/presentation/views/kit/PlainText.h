#pragma once

#include <QFontMetrics>
#include <QString>
#include <Qt>

namespace vexel {

// Untrusted text (file, clip and track names, messages) shown where Qt would
// read markup or mnemonics into it.

// The most characters of one such text that a widget measures or draws: more
// than a line or a tip shows, while shaping a text of millions of characters
// (a project file may hold one) takes seconds at every paint.
inline constexpr qsizetype maxShownLength = 4096;

// `text`, or of a longer one the part that eliding it by `mode` can show: its
// start, its end, or (ElideMiddle) both, each maxShownLength / 2 long, around
// "…"; ElideNone keeps the start. Never cuts a surrogate pair in two.
QString shownPart(const QString& text, Qt::TextElideMode mode = Qt::ElideMiddle);

// `text` elided by `mode` to `width` pixels of `metrics`, only its shownPart
// ever measured.
QString elidedPlain(const QFontMetrics& metrics, const QString& text, Qt::TextElideMode mode,
                    int width);

// For a tool tip: the text exactly as written, never read as markup; of a very
// long text its start and "…".
QString plainToolTip(const QString& text);

// For a button, action or menu title: "&" shown as itself, not as a shortcut
// marker.
QString escapeMnemonic(QString text);

} // namespace vexel
